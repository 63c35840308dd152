// Loading, saving and clearing the two messages.
#include "gui/Dialogs.h"
#include "core/Exceptions.h"
#include "core/Files.h"
#include "engine/Module1.h"
#include "app/Window1.h"

#include <string>

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
    // opened or read leaves the area's text as it was.
    fw::String content;
    fw::TextEncoding encoding = fw::TextEncoding::Utf8;
    const bool exists = file->Exists();
    if (exists) {
        try {
            fw::Ref<fw::TextInputStream> in = fw::TextInputStream::Open(file);
            content = in->ReadAll();
            encoding = in->Encoding();
        } catch (const fw::IOException& e) {
            TellFileFailure(*file, e, false, "The text shown is unchanged.");
            return;
        }
    }
    area->SetText(fw::String());
    area->SetFocus();
    if (exists) area->SetText(content);
    area->SetEncoding(encoding);
}

void Window1::SaveFrom(const fw::Ref<fw::TextArea>& area) {
    auto dialog = fw::New<fw::SaveAsDialog>();
    dialog->SetInitialDirectory(StartFolder());
    fw::Ref<fw::FolderItem> file = dialog->ShowModal();
    if (!file) return;
    // Written back the way it came in, unless some character cannot be
    // written so.
    const fw::String text = area->Text();
    std::string bytes;
    if (!fw::EncodeText(text, area->Encoding(), bytes)) fw::EncodeText(text, fw::TextEncoding::Utf8, bytes);
    const bool existed = file->Exists();
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
