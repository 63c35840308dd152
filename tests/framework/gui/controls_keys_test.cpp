// Every control takes exactly the keys of its class in the class-key table,
// applies a whole property set, and shows what it was given.
#include "gui/controls/CaptionFit.h"
#include "gui/controls/Label.h"
#include "gui/controls/Listbox.h"
#include "gui/controls/PopupMenu.h"
#include "gui/controls/ProgressBar.h"
#include "gui/controls/PushButton.h"
#include "gui/controls/TextArea.h"
#include "gui/controls/TextField.h"
#include "gui/controls/Timer.h"
#include "controls_support.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <gtest/gtest.h>

using controls_test::Host;
using fw::PropertyForm;
using fw::PropertyValue;

namespace {

fw::Ref<fw::Control> Make(const std::string& cls) {
    if (cls == "TextArea") return fw::New<fw::TextArea>();
    if (cls == "TextField") return fw::New<fw::TextField>();
    if (cls == "Listbox") return fw::New<fw::Listbox>();
    if (cls == "PopupMenu") return fw::New<fw::PopupMenu>();
    if (cls == "PushButton") return fw::New<fw::PushButton>();
    if (cls == "Label") return fw::New<fw::Label>();
    if (cls == "ProgressBar") return fw::New<fw::ProgressBar>();
    if (cls == "Timer") return fw::New<fw::Timer>();
    return nullptr;
}

// A plain value of the key's form, and a less plain one.
PropertyValue ValueFor(PropertyForm form, bool plain) {
    switch (form) {
        case PropertyForm::Boolean: return PropertyValue::Bool(!plain);
        case PropertyForm::Colour: return PropertyValue::Rgb(plain ? fw::Colour{} : fw::Colour{200, 10, 10});
        case PropertyForm::String: return PropertyValue::Text(plain ? "" : "x\ry");
        case PropertyForm::Integer: return PropertyValue::Int(plain ? 0 : 3);
    }
    return {};
}

class ControlKeys : public ::testing::TestWithParam<const char*> {};

TEST_P(ControlKeys, TakesEveryKeyOfItsClassAndNoOther) {
    Host host;
    const std::string cls = GetParam();
    const auto control = Make(cls);
    ASSERT_TRUE(control);
    EXPECT_EQ(control->PropertyClassName(), cls);
    if (auto* rc = dynamic_cast<fw::RectControl*>(control.Get())) rc->PlaceInto(&host.widget);
    const auto& keys = fw::KeysOfClass(cls);
    ASSERT_FALSE(keys.empty());
    for (bool plain : {true, false})
        for (const std::string& key : keys) {
            const auto form = fw::FormOfKey(key);
            ASSERT_TRUE(form) << key;
            EXPECT_TRUE(control->SetProperty(key, ValueFor(*form, plain))) << cls << " refused " << key;
        }
    // Keys of the table that this class's sets never use.
    for (const auto& entry : fw::PropertyKeyTable()) {
        if (fw::ClassTakesKey(cls, entry.key)) continue;
        EXPECT_FALSE(control->SetProperty(entry.key, ValueFor(entry.form, true))) << cls << " took " << entry.key;
    }
}

INSTANTIATE_TEST_SUITE_P(AllClasses, ControlKeys,
                         ::testing::Values("TextArea", "TextField", "Listbox", "PopupMenu", "PushButton", "Label",
                                           "ProgressBar", "Timer"));

TEST(ControlSets, AWholeSetGivesEachPropertyItsValue) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    area->SetPresetProperty("LineSpacing", 1.0);
    area->SetPresetProperty("TextUnit", 0);
    const std::string set = fw::WritePropertySet({
        {"Name", PropertyValue::Text("EditField2")},
        {"Index", PropertyValue::Int(INT32_MIN)},
        {"Left", PropertyValue::Int(410)},
        {"Top", PropertyValue::Int(64)},
        {"Width", PropertyValue::Int(270)},
        {"Height", PropertyValue::Int(352)},
        {"TabIndex", PropertyValue::Int(1)},
        {"TextFont", PropertyValue::Text("System")},
        {"Text", PropertyValue::Text("one\rtwo")},
        {"ReadOnly", PropertyValue::Bool(true)},
        {"Visible", PropertyValue::Bool(false)},
    });
    fw::SetProperties(*area, set);
    EXPECT_TRUE(area->Name().Identical("EditField2"));
    EXPECT_EQ(area->Index(), INT32_MIN);
    EXPECT_EQ(area->Widget()->geometry(), QRect(410, 64, 270, 352));
    EXPECT_EQ(area->TabIndex(), 1);
    EXPECT_TRUE(area->Text().Identical("one\rtwo"));
    EXPECT_TRUE(area->Editor()->isReadOnly());
    EXPECT_FALSE(area->Visible());
    EXPECT_TRUE(area->Widget()->isHidden());

    auto timer = fw::New<fw::Timer>();
    fw::SetProperties(*timer, std::string("Mode \0\0\0\0Period \0\0\x07\xD0", 20));
    EXPECT_EQ(timer->Mode(), 0);
    EXPECT_EQ(timer->Period(), 2000);
    EXPECT_FALSE(timer->IsRunning());
    // A key the class lacks fails loudly, naming it.
    try {
        fw::SetProperties(*timer, fw::WritePropertySet({{"Caption", PropertyValue::Text("no")}}));
        FAIL() << "a timer took a Caption";
    } catch (const fw::PropertySetException& e) {
        EXPECT_EQ(e.Key, "Caption");
    }
}

TEST(Label, TextIsPlainTextNeverMarkupAndAlignsAsAsked) {
    Host host;
    auto label = fw::New<fw::Label>();
    label->PlaceInto(&host.widget);
    label->SetText("<b>Version:</b> &amp; <i>x</i>");
    EXPECT_EQ(label->QtLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->QtLabel()->text(), QString("<b>Version:</b> &amp; <i>x</i>"));
    // The credits: lines broken by CRs.
    label->SetText("Developed by\rA. Person\r\rSr. Beta Tester\rB. Person");
    EXPECT_EQ(label->QtLabel()->text().count('\n'), 4);
    EXPECT_TRUE(label->Text().Identical("Developed by\rA. Person\r\rSr. Beta Tester\rB. Person"));
    label->SetTextAlign(1);
    EXPECT_TRUE(label->QtLabel()->alignment() & Qt::AlignHCenter);
    label->SetTextAlign(2);
    EXPECT_TRUE(label->QtLabel()->alignment() & Qt::AlignRight);

    int opens = 0;
    label->AddEventHandler("Open", [&] { ++opens; });
    label->Opening();
    EXPECT_EQ(opens, 1);
}

TEST(ControlFonts, SystemIsTheApplicationFontAndArialAndCourierAreTheirLiberationFonts) {
    Host host;
    auto button = fw::New<fw::PushButton>();
    button->PlaceInto(&host.widget);
    const QFont app = QApplication::font();
    EXPECT_EQ(QFontInfo(button->Widget()->font()).family(), QFontInfo(app).family());

    button->SetTextFont("Arial");
    button->SetPresetProperty("TextSize", 12);
    button->SetBold(true);
    const QFont f = button->Widget()->font();
    EXPECT_EQ(f.pixelSize(), 12);  // a point of the definition is a pixel
    EXPECT_TRUE(f.bold());
    // Debian's metric-compatible stand-ins.
    EXPECT_EQ(QFontInfo(f).family(), QString("Liberation Sans"));
    button->SetTextFont("Courier");
    // Liberation Mono, also where URW's Nimbus Mono would be fontconfig's
    // choice for Courier.
    EXPECT_EQ(QFontInfo(button->Widget()->font()).family(), QString("Liberation Mono"));

    // Size 0 keeps the default size.
    button->SetTextFont("System");
    button->SetTextSize(0);
    EXPECT_EQ(button->Widget()->font().pointSizeF(), app.pointSizeF());
}

TEST(ControlFonts, ABatchOfFontKeysChangesTheWidgetsFontOnceAndAnUnchangedValueNotAtAll) {
    Host host;
    auto button = fw::New<fw::PushButton>();
    button->PlaceInto(&host.widget);
    struct Counter : QObject {
        int changes = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::FontChange) ++changes;
            return false;
        }
    } counter;
    button->Widget()->installEventFilter(&counter);

    button->BeginPropertyBatch();
    button->SetPresetProperty("TextSize", 12);
    button->SetPresetProperty("TextUnit", 0);
    button->BeginPropertyBatch();  // batches nest, as a set inside a control's creation
    button->SetTextFont("Arial");
    button->SetBold(true);
    button->SetItalic(false);
    button->EndPropertyBatch();
    EXPECT_EQ(counter.changes, 0) << "held until the outermost batch ends";
    button->EndPropertyBatch();
    EXPECT_EQ(counter.changes, 1);
    const QFont f = button->Widget()->font();
    EXPECT_EQ(f.pixelSize(), 12);
    EXPECT_TRUE(f.bold());
    EXPECT_EQ(QFontInfo(f).family(), QString("Liberation Sans"));

    button->SetBold(true);
    button->SetUnderline(false);
    EXPECT_EQ(counter.changes, 1);
    button->SetItalic(true);
    EXPECT_EQ(counter.changes, 2);
    EXPECT_TRUE(button->Widget()->font().italic());
}

// A set whose later entry the control refuses (a list box's key here) still leaves the font of the entries
// before it in effect.
TEST(ControlFonts, ARefusedEntryEndsTheBatchOfItsSet) {
    Host host;
    auto button = fw::New<fw::PushButton>();
    button->PlaceInto(&host.widget);
    const std::string set = fw::WritePropertySet(
        {{"Bold", fw::PropertyValue::Bool(true)}, {"ColumnCount", fw::PropertyValue::Int(2)}});
    EXPECT_THROW(fw::SetProperties(*button, set), fw::PropertySetException);
    EXPECT_TRUE(button->Widget()->font().bold());
    button->SetItalic(true);  // the control is not left holding its font back
    EXPECT_TRUE(button->Widget()->font().italic());
}

// A caption too wide for its control is drawn in a smaller size of the
// control's font, only as much smaller as it must be, and in the designed
// font again once there is room.
TEST(ControlFonts, ACaptionTooWideForItsControlShrinksUntilItFits) {
    Host host;  // hidden: a caption is fitted whether or not it is seen
    const QString wide = "A caption far too wide for its button";
    auto button = fw::New<fw::PushButton>();
    button->PlaceInto(&host.widget);
    button->SetBold(true);
    button->SetBounds(0, 0, 110, 20);
    const QFont designed = button->Widget()->font();
    button->SetCaption(fw::String::FromQString(wide));
    QFont f = button->Widget()->font();
    EXPECT_LT(QFontInfo(f).pixelSize(), QFontInfo(designed).pixelSize());
    EXPECT_EQ(QFontInfo(f).family(), QFontInfo(designed).family());
    EXPECT_TRUE(f.bold());
    const int fitted = QFontInfo(f).pixelSize();

    button->SetWidth(600);
    EXPECT_EQ(button->Widget()->font(), designed);
    button->SetWidth(110);
    EXPECT_EQ(QFontInfo(button->Widget()->font()).pixelSize(), fitted);
    button->SetCaption("OK");
    EXPECT_EQ(button->Widget()->font(), designed);

    // A one-line label likewise; a label that wraps keeps its font.
    auto label = fw::New<fw::Label>();
    label->PlaceInto(&host.widget);
    label->SetBounds(0, 40, 150, 20);
    const QFont labelFont = label->Widget()->font();
    label->SetText(fw::String::FromQString(wide));
    EXPECT_LT(QFontInfo(label->Widget()->font()).pixelSize(), QFontInfo(labelFont).pixelSize());
    EXPECT_LE(QFontMetrics(label->Widget()->font()).horizontalAdvance(wide), 150);
    label->SetMultiline(true);
    EXPECT_EQ(label->Widget()->font(), labelFont);
}

// The fitted font is the largest that the laid-out text fits, also where
// the room is only a pixel or two wider or narrower than the text.
TEST(ControlFonts, AFittedCaptionIsTheLargestSizeAtWhichItsLaidOutTextFits) {
    const struct {
        const char* text;
        int flags;
        bool bold, italic;
    } cases[] = {
        {"Support Tarnwick", Qt::TextShowMnemonic, true, false},
        {"&Scramble && more", Qt::TextShowMnemonic, false, false},
        {"AVAV To Ty ffi", 0, false, true},
        {"a lone &", Qt::TextShowMnemonic, false, false},
        {"x éè W_", 0, true, true},
        // Beyond the plain Latin range: measured size by size in the font.
        {"Ωmega ∑ Σ", Qt::TextShowMnemonic, true, false},
    };
    controls_test::EnsureApp();
    for (const auto& c : cases) {
        QFont designed = QApplication::font();
        designed.setPixelSize(12);
        designed.setBold(c.bold);
        designed.setItalic(c.italic);
        const QString text = QString::fromUtf8(c.text);
        const QSize natural = QFontMetrics(designed).size(c.flags, text);
        for (int dw = -40; dw <= 40; ++dw) {
            const QSize room(natural.width() + dw, natural.height());
            SCOPED_TRACE(std::string(c.text) + " room " + std::to_string(room.width()));
            const QFont f = fw::controls::FittedFont(designed, text, room, c.flags);
            const QSize needed = QFontMetrics(f).size(c.flags, text);
            const int px = QFontInfo(f).pixelSize();
            if (px > 6) {
                EXPECT_LE(needed.width(), room.width());
                EXPECT_LE(needed.height(), room.height());
            }
            if (px < 12) {
                QFont larger = f;
                larger.setPixelSize(px + 1);
                EXPECT_GT(QFontMetrics(larger).size(c.flags, text).width(), room.width());
            } else {
                EXPECT_EQ(f, designed);
            }
        }
    }
}

// A property batch fits the caption once, when its values all apply.
TEST(ControlFonts, ABatchFitsTheCaptionAtItsEnd) {
    Host host;
    host.widget.show();
    auto button = fw::New<fw::PushButton>();
    button->PlaceInto(&host.widget);
    const QFont designed = button->Widget()->font();
    {
        const fw::PropertyBatch batch(*button);
        button->SetBounds(0, 0, 110, 20);
        button->SetCaption("A caption far too wide for its button");
        button->SetDefault(true);
        EXPECT_EQ(button->Widget()->font(), designed);
    }
    EXPECT_LT(QFontInfo(button->Widget()->font()).pixelSize(), QFontInfo(designed).pixelSize());
}

// A control outside its window, which nobody sees, is fitted all the same
// as it is built: it draws in its designed font, or in the size its caption
// fits at.
TEST(ControlFonts, ACaptionOutOfSightIsFittedAsItIsBuilt) {
    Host host;
    host.widget.show();
    auto button = fw::New<fw::PushButton>();
    button->PlaceInto(&host.widget);
    {
        const fw::PropertyBatch batch(*button);
        button->SetBounds(892, 409, 80, 20);
        button->SetCaption("Dev Test");
        button->SetTextFont("Arial");
        button->SetTextSize(12);
        button->SetBold(true);
    }
    const QFont drawn = button->Widget()->font();
    EXPECT_EQ(drawn, button->ResolvedFont());
    EXPECT_TRUE(drawn.bold());
    EXPECT_EQ(QFontInfo(drawn).pixelSize(), 12);

    const QString wide = QStringLiteral("Developer Tests");
    button->SetCaption(fw::String::FromQString(wide));
    EXPECT_LT(QFontInfo(button->Widget()->font()).pixelSize(), 12);
    EXPECT_LE(QFontMetrics(button->Widget()->font()).horizontalAdvance(wide), 80);
}

TEST(ProgressBar, MaximumZeroIsABusyIndicator) {
    Host host;
    auto bar = fw::New<fw::ProgressBar>();
    bar->PlaceInto(&host.widget);
    bar->SetMaximum(100);
    bar->SetValue(40);
    EXPECT_EQ(bar->Bar()->maximum(), 100);
    EXPECT_EQ(bar->Bar()->value(), 40);
    bar->SetMaximum(0);
    EXPECT_TRUE(bar->IsBusyIndicator());
    EXPECT_EQ(bar->Bar()->minimum(), 0);
    EXPECT_EQ(bar->Bar()->maximum(), 0);
}

TEST(RectControl, BoundsEnabledAndVisibleReachTheWidgetOnceItHasAParent) {
    controls_test::EnsureApp();
    auto field = fw::New<fw::TextField>();
    // Not placed yet: hiding or showing must not make it a window of its own.
    field->SetVisible(true);
    field->SetBounds(715, 453, 80, 22);
    EXPECT_FALSE(field->Widget()->isVisible());
    Host host;
    field->PlaceInto(&host.widget);
    host.widget.show();
    EXPECT_EQ(field->Widget()->parentWidget(), &host.widget);
    EXPECT_EQ(field->Widget()->geometry(), QRect(715, 453, 80, 22));
    EXPECT_TRUE(field->Widget()->isVisible());
    field->SetEnabled(false);
    EXPECT_FALSE(field->Widget()->isEnabled());
    EXPECT_FALSE(field->Enabled());
    field->SetVisible(false);
    EXPECT_FALSE(field->Widget()->isVisible());
}

}  // namespace
