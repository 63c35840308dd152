// The text engine's control-bound steps: thin steps over engine/.
#include "gui/Clipboard.h"
#include "gui/Desktop.h"
#include "engine/Engine.h"
#include "core/Exceptions.h"
#include "core/Files.h"
#include "app/Window1.h"
#include "core/Yield.h"

#include <cerrno>
#include <string>
#include <utility>

void Window1::SearchWord() { engine::SearchWord(); }
void Window1::ScrambleWord() { engine::ScrambleWord(); }
void Window1::checkDictionary() { engine::checkDictionary(Lookup()); }

namespace {
constexpr const char* kNothingChanged = "Nothing was changed.";

std::string TextTooLarge(const char* step, const fw::TextMeasure& size) {
    return std::string("The text is too large to ") + step + ": its " + fw::CountInWords(size.chars) + " characters";
}
}  // namespace

void Window1::Scramble_Action(fw::PushButton&) {
    // With nothing to scramble the kept message, both areas and the flags
    // stay as they are: a second press after a scramble would otherwise
    // replace the kept message with the emptied left area and lose it.
    const bool keep = !Module1::TryMeFlag;
    // Nor does a text too large for the memory left change anything: the
    // button is not even disabled.
    const fw::TextMeasure input = (keep ? EditField1() : EditField3())->Measure();
    if (!MemoryHolds(fw::ScrambleNeed(input, keep, EngineHolds()), TextTooLarge("scramble", input), kNothingChanged))
        return;
    // The scramble is built from the text it scrambles, and is saved the
    // way that text came in.
    const fw::TextEncoding encoding = (keep ? EditField1() : EditField3())->Encoding();
    Scramble()->SetEnabled(false);
    Timer1()->SetMode(1);
    if (!keep) {
        EditField3()->TextInto(Module1::FullBook);
    } else {
        if (EditField1()->IsEmpty()) {
            fw::Beep();
            return;
        }
        // Read once: a large text costs a pass over the area's document.
        EditField1()->TextInto(Module1::FullBook);
        // The left area's document becomes the kept one rather than being
        // copied, which leaves the left area empty before its turn below.
        EditField3()->TakeTextFrom(*EditField1());
    }
    Module1::NewScrambledMessageFlag = true;
    EditField2()->SetText(fw::String());
    EditField2()->Refresh(true);
    EditField1()->SetText(fw::String());
    EditField1()->Refresh(true);
    engine::ScrambleDriver();
    Module1::TryMeFlag = false;
    EditField2()->SetText(Module1::Book);
    EditField2()->SetEncoding(encoding);
}

void Window1::EditField2_GotFocus(fw::TextArea&) { Module1::NewScrambledMessageFlag = false; }

void Window1::Unscramble_Action(fw::PushButton&) {
    const bool restore = Module1::NewScrambledMessageFlag;
    // The restore copies the kept area's document as it is: how wide its
    // characters are does not matter to it.
    const fw::TextMeasure input = restore ? EditField3()->Measure(false) : EditField2()->Measure();
    const fw::EngineHeld held = EngineHolds();
    if (!MemoryHolds(restore ? fw::RestoreNeed(input, held) : fw::RebuildNeed(input, held),
                     TextTooLarge("unscramble", input), kNothingChanged))
        return;
    Unscramble()->SetEnabled(false);
    Unscramble()->SetCaption("Working");
    if (Module1::NewScrambledMessageFlag) EditField1()->SetTextFrom(*EditField3());
    else doUnscramble();
    Unscramble()->SetCaption("<< Unscramble");
    Unscramble()->SetEnabled(true);
}

void Window1::doUnscramble() {
    // The rebuilt text is saved the way the scrambled one came in.
    const fw::TextEncoding encoding = EditField2()->Encoding();
    EditField2()->TextInto(Module1::FullBook);
    EditField1()->SetText(fw::String());
    EditField1()->Refresh(true);
    engine::RebuildDriver(Lookup());
    EditField1()->SetText(Module1::Book);
    EditField1()->SetEncoding(encoding);
}

void Window1::FindWords_Action(fw::PushButton&) {
    // Copying an empty selection would empty the user's clipboard: with
    // nothing selected the word is empty, and only the message follows.
    const bool selected = EditField1()->SelLength() > 0;
    if (selected) EditField1()->Copy();
    ThisWord()->SetText(fw::String());
    ThisWord()->SetFocus();
    if (selected) ThisWord()->Paste();
    const fw::String w = ThisWord()->Text();
    if (fw::Len(w) <= 4) {
        fw::MsgBox("This feature is restricted to words with five or more letters.");
        return;
    }
    FindWords()->SetEnabled(false);
    AlternateWords()->DeleteAllRows();
    AlternateWords()->AddRow("Click To See Possible Words");
    // Sets FirstLetter and LastLetter and gives every passing row among all
    // but the last, in list order, from the index over Wordwell's rows.
    for (const fw::String& entry : engine::PossibleWords(w, Lookup())) AlternateWords()->AddRow(entry);
    AlternateWords()->AddRow("End of List");
    AlternateWords()->SetFocus();
    AlternateWords()->SetListIndex(0);
    if (AlternateWords()->ListCount() > 2) {
        AlternateWords()->SetVisible(true);
        UseWord()->SetVisible(true);
        // A hidden control takes no focus: give it now that it shows.
        AlternateWords()->SetFocus();
    } else {
        AlternateWords()->DeleteAllRows();
        FindWords()->SetEnabled(true);
    }
}

void Window1::UseWord_Action(fw::PushButton&) {
    fw::Clipboard clipboard;
    const int32_t index = AlternateWords()->ListIndex();
    if (index != AlternateWords()->ListCount() - 1 && index != 0) {
        clipboard.SetText(AlternateWords()->Text());
        EditField1()->SetFocus();
        EditField1()->Paste();
    }
    AlternateWords()->DeleteAllRows();
    AlternateWords()->SetVisible(false);
    UseWord()->SetVisible(false);
    FindWords()->SetEnabled(true);
    EditField1()->SetFocus();
}

void Window1::DevTest_Action(fw::PushButton&) {
    const int32_t last = Wordwell()->ListCount() - 1;
    for (int32_t i = last; i >= 0; --i) {
        if (fw::Len(Wordwell()->Cell(i, 0)) < 5) Wordwell()->RemoveRow(i);
        fw::BackgroundYield();
    }
    NoWords()->SetText(fw::Str(Wordwell()->ListCount()));
}

void Window1::SaveDict_Action(fw::PushButton&) { saveDictionary(); }

void Window1::saveDictionary() {
    // The export goes to the user's Documents folder, made when missing. A
    // new file takes the old one's place once it is complete: a link of
    // that name is replaced, never written through, and a read-only older
    // export goes as a deleted one would. If it cannot be written the user
    // is told, and nothing else changes.
    fw::Ref<fw::FolderItem> file;
    try {
        fw::Ref<fw::FolderItem> documents = fw::SpecialFolder::Documents();
        if (!documents) throw fw::IOException("The Documents folder is not known.", ENOENT);
        file = documents->Child("ScrandleDictionary.txt");
        documents->CreateAsFolder();
        fw::Ref<fw::TextOutputStream> out = file->CreateTextFile();
        const fw::StringRows& rows = Wordwell()->Rows();
        for (int32_t i = 0; i <= rows.ListCount() - 1; ++i) {
            out->WriteLine(rows.Cell(i));
            fw::BackgroundYield();
        }
        out->Close();
    } catch (const fw::IOException& e) {
        const std::string where = file ? " to \u201c" + file->NativePath() + "\u201d" : std::string();
        fw::MsgBox(fw::String(std::string_view("The word list could not be saved" + where + ": " +
                                               fw::FileErrorInWords(e.ErrorNumber, true) + ".")));
    }
}
