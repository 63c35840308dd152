// Loading, saving and clearing the two messages.
#include "gui/Dialogs.h"
#include "core/Exceptions.h"
#include "core/Files.h"
#include "engine/Module1.h"
#include "app/Window1.h"

#include <cstdint>
#include <string>
#include <utility>

namespace {
// The dialogs start in "Documents" at the root of the file system; the
// desktop falls back to the user's folders when that does not exist.
fw::Ref<fw::FolderItem> StartFolder() { return fw::Volume(0)->Child("Documents"); }

// A failed load or save is the user's business, not a program fault: told
// in words over the window, naming the file, with what became of the text.
void TellFileFailure(const fw::FolderItem& file, const fw::IOException& e, bool saving, const char* outcome) {
    std::string text = std::string("The file \u201c") + file.Name().ToUtf8() + "\u201d could not be " +
                       (saving ? "saved: " : "loaded: ") + fw::FileErrorInWords(e.ErrorNumber, saving) + ".";
    if (*outcome) text += std::string(" ") + outcome;
    fw::MsgBox(fw::String(std::string_view(text)));
}
}  // namespace

void Window1::LoadFile1_Action(fw::PushButton&) {
    EditField1()->SetFocus();
    EditField1()->Refresh(true);
    getFile1();
}

void Window1::LoadFile2_Action(fw::PushButton&) {
    EditField2()->SetFocus();
    EditField2()->Refresh(true);
    getFile2();
}

void Window1::SaveFile1_Action(fw::PushButton&) {
    EditField1()->SetFocus();
    EditField1()->Refresh(true);
    saveFile1();
}

void Window1::SaveFile2_Action(fw::PushButton&) {
    EditField2()->SetFocus();
    EditField2()->Refresh(true);
    saveFile2();
}

void Window1::Clear1_Action(fw::PushButton&) {
    EditField1()->SetText(fw::String());
    EditField3()->SetText(fw::String());
    EditField1()->SetFocus();
}

void Window1::Clear2_Action(fw::PushButton&) {
    EditField2()->SetText(fw::String());
    EditField2()->SetFocus();
}

void Window1::getFile1() { LoadInto(EditField1()); }
void Window1::getFile2() { LoadInto(EditField2()); }
void Window1::saveFile1() { SaveFrom(EditField1()); }
void Window1::saveFile2() { SaveFrom(EditField2()); }

void Window1::LoadInto(const fw::Ref<fw::TextArea>& area) {
    auto dialog = fw::New<fw::OpenDialog>();
    dialog->SetInitialDirectory(StartFolder());
    dialog->SetTitle("Select a Text file");
    fw::Ref<fw::FolderItem> file = dialog->ShowModal();
    if (!file) return;
    // The file is read before the area is emptied, so a file that cannot be
    // opened or read leaves the area's text as it was. So does one too
    // large for the memory left: seen from its size before it is read, and
    // from its text before the area changes.
    fw::String content;
    fw::TextEncoding encoding = fw::TextEncoding::Utf8;
    const bool exists = file->Exists();
    if (exists) {
        const std::uint64_t bytes = file->Length();
        const std::uint64_t held = fw::DocumentBytes(area->Measure(false));
        const std::string tooLarge =
            "The file \u201c" + file->Name().ToUtf8() + "\u201d is too large to load: its " + fw::BytesInWords(bytes);
        const char* unchanged = "The text shown is unchanged.";
        if (fw::WithMargin(fw::ReadNeed(bytes)) > fw::MemoryLeft()) {
            MemoryHolds(fw::LoadNeed(bytes, fw::SizeOfBytes(bytes), held), tooLarge, unchanged);
            return;
        }
        try {
            fw::Ref<fw::TextInputStream> in = fw::TextInputStream::Open(file);
            content = in->ReadAll();
            encoding = in->Encoding();
        } catch (const fw::IOException& e) {
            TellFileFailure(*file, e, false, unchanged);
            return;
        }
        const fw::TextMeasure size = fw::SizeOf(content);
        if (!fw::FitsADocument(size)) {
            fw::MsgBox(fw::String(std::string_view(tooLarge + " of text are more than a text area holds (" +
                                                   fw::CountInWords(fw::kMostDocumentUnits - 1) + " characters). " +
                                                   unchanged)));
            return;
        }
        if (fw::WithMargin(fw::SetTextNeed(size, held)) > fw::MemoryLeft()) {
            // Told with what the whole load needs, and what is free with
            // the text read let go.
            content = fw::String();
            MemoryHolds(fw::LoadNeed(bytes, size, held), tooLarge, unchanged);
            return;
        }
    }
    area->SetText(fw::String());
    area->SetFocus();
    if (exists) area->SetText(std::move(content));
    area->SetEncoding(encoding);
}

void Window1::SaveFrom(const fw::Ref<fw::TextArea>& area) {
    auto dialog = fw::New<fw::SaveAsDialog>();
    dialog->SetInitialDirectory(StartFolder());
    fw::Ref<fw::FolderItem> file = dialog->ShowModal();
    if (!file) return;
    const bool existed = file->Exists();
    // A text too large for the memory left is not saved at all: seen from
    // its size before it is read out, and from its encoded size once it is.
    const fw::TextMeasure size = area->Measure();
    const std::uint64_t kept = fw::TextOutputStream::BytesKeptBy(*file);
    const std::string tooLarge = "The text is too large to save to \u201c" + file->Name().ToUtf8() + "\u201d: its " +
                                 fw::CountInWords(size.chars) + " characters";
    const char* untouched = existed ? "The file on disk is unchanged." : "Nothing was written.";
    if (!MemoryHolds(fw::SaveNeed(size, fw::EncodedBytes(size, area->Encoding()), kept), tooLarge, untouched)) return;
    // Written back the way it came in, unless some character cannot be
    // written so. The text goes once it is encoded.
    std::string bytes;
    {
        const fw::String text = area->Text();
        const std::uint64_t encoded = fw::EncodedSizeAtMost(text, area->Encoding());
        const std::uint64_t held = fw::StringBytes(size);
        if (fw::WithMargin(encoded + (kept > held ? kept - held : 0)) > fw::MemoryLeft()) {
            MemoryHolds(fw::SaveNeed(size, encoded, kept), tooLarge, untouched);
            return;
        }
        if (!fw::EncodeText(text, area->Encoding(), bytes)) fw::EncodeText(text, fw::TextEncoding::Utf8, bytes);
    }
    fw::Ref<fw::TextOutputStream> out;
    try {
        out = fw::TextOutputStream::Create(file);
        out->WriteBytes(bytes);
        // Closing here rather than at the end of the reference reports a
        // failed final write like any other; until then the old file stays.
        out->Close();
    } catch (const fw::IOException& e) {
        using Left = fw::TextOutputStream::Left;
        const Left left = out ? out->WhatIsLeft() : Left::OldContent;
        const char* outcome = left == Left::PartOfNewText ? "The file on disk may now hold only part of the text."
                              : left == Left::OldContent && existed ? "The file on disk is unchanged."
                                                                     : "";
        TellFileFailure(*file, e, true, outcome);
    }
}
