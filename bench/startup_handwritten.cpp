// The fair anchor for startup_app: the main window written directly against
// Qt Widgets, as a careful Qt developer would write it without our
// framework. Same widgets, geometry, fonts, texts, style and menus as the
// program's window (resources/Window1.window, app/MenuBars.cpp); the word
// list is embedded in the program and shown in a one-column QTableView over
// a model that cuts rows only as they are shown; the text areas carry a
// spell-check highlighter that waits for a dictionary read after the window
// is up. It quits at the same point as startup_app (startup_quit.h).
#include "startup_quit.h"

// Header-only: a count sixteen bytes a step, as any careful program counts
// a long buffer (std::count is not vectorised at -O2).
#include "core/CountByte.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QSyntaxHighlighter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

extern const char kWordList[];
extern const std::size_t kWordListSize;
extern const char kInitialText[];
extern const std::size_t kInitialTextSize;

namespace {

// The menu bar's overflow button asks for an image when the bar is made;
// Qt would load every image-format plug-in to read its own. Drawn instead.
class Style : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap sp, const QStyleOption* option, const QWidget* widget) const override {
        if (sp != SP_ToolBarHorizontalExtensionButton && sp != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(sp, option, widget);
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(standardPalette().color(QPalette::Active, QPalette::ButtonText), 3.0, Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        if (sp == SP_ToolBarVerticalExtensionButton) {
            p.translate(32, 0);
            p.rotate(90);
        }
        for (int x : {8, 17}) p.drawPolyline(QPolygon({QPoint(x, 9), QPoint(x + 7, 16), QPoint(x, 23)}));
        return QIcon(pixmap);
    }
};

// The word list, one word per line, as rows. The rows are counted at once
// (the view needs the count); where a row starts is found only when a row
// at or past it is first shown.
class WordListModel : public QAbstractListModel {
public:
    WordListModel(const char* data, std::size_t size, QObject* parent)
        : QAbstractListModel(parent), data_(data), size_(size) {
        if (size_ > 0 && data_[size_ - 1] == '\n') --size_;
        rows_ = size_ == 0 ? 0 : static_cast<int>(fw::CountByte(data_, size_, '\n')) + 1;
        starts_.push_back(0);
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
        const auto row = static_cast<std::size_t>(index.row());
        while (starts_.size() <= row + 1 && starts_.back() <= size_) {
            const char* from = data_ + starts_.back();
            const void* nl = std::memchr(from, '\n', size_ - starts_.back());
            starts_.push_back(nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data_) + 1 : size_ + 1);
        }
        const std::size_t begin = starts_[row];
        return QString::fromUtf8(data_ + begin, static_cast<qsizetype>(starts_[row + 1] - 1 - begin));
    }

private:
    const char* data_;
    std::size_t size_;
    int rows_ = 0;
    mutable std::vector<std::size_t> starts_;
};

// Underlines misspelt words once a dictionary is there; until then it
// looks again every 50 ms. (The dictionary would be read on a worker a
// moment after the window is up; this bench quits before.)
class SpellHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString&) override {
        if (waiting_) return;
        waiting_ = true;
        auto* timer = new QTimer(this);
        timer->setInterval(50);
        timer->start();
    }

private:
    bool waiting_ = false;
};

QFont ButtonFont(bool bold = true) {
    QFont f = QApplication::font();
    f.setFamilies({QStringLiteral("Arial")});
    f.setPixelSize(12);
    f.setBold(bold);
    return f;
}

QFont SystemBold() {
    QFont f = QApplication::font();
    f.setBold(true);
    return f;
}

class MainWindow : public QWidget {
public:
    MainWindow() {
        setWindowTitle(QStringLiteral("Scrandle?"));
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                       Qt::WindowMinimizeButtonHint);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->setMenuBar(MakeMenuBar());
        content_ = new QWidget(this);
        content_->setFixedSize(700, 500);
        layout->addWidget(content_, 0, Qt::AlignLeft | Qt::AlignTop);

        // In tab order, which is the order they are made in.
        auto* text1 = TextArea(20, 64, 270, 352);
        text1->setPlainText(QString::fromUtf8(kInitialText, static_cast<qsizetype>(kInitialTextSize)));
        TextArea(410, 64, 270, 352);
        struct Place {
            int x, y, w;
            const char* caption;
        };
        for (const Place& b : {Place{300, 428, 100, "Scramble >>"}, Place{39, 428, 80, "Load File"},
                               Place{435, 428, 80, "Load File"}, Place{177, 428, 80, "Save File"},
                               Place{565, 428, 80, "Save File"}, Place{177, 460, 80, "Clear"},
                               Place{495, 460, 80, "Clear"}})
            Button(b.x, b.y, b.w, b.caption);
        for (int i = 0; i < 11; ++i) Button(308, 69 + 32 * i, 80, "Try Me");
        Button(293, 460, 110, "<< Unscramble");
        auto* text3 = TextArea(710, 20, 270, 153);
        WordList(710, 185, 262, 187);
        Button(892, 409, 80, "Dev Test");
        Label(742, 383, 122, "Number of words:", SystemBold(), Qt::AlignLeft);
        Label(876, 383, 65, "", SystemBold(), Qt::AlignLeft);
        Button(717, 409, 80, "Save Dict");
        auto* alternates = new QComboBox(content_);
        alternates->setGeometry(297, 20, 190, 20);
        alternates->setFont(ButtonFont(false));
        alternates->hide();
        Button(80, 20, 140, "Find Possible Words");
        auto* word = new QLineEdit(content_);
        word->setGeometry(715, 453, 80, 22);
        word->setFont(ButtonFont(false));
        word->setMaxLength(INT_MAX);
        Button(500, 20, 135, "Use Selected Word")->hide();
        Label(95, 44, 110, "Unscrambled Text", ButtonFont(false), Qt::AlignHCenter);
        Label(480, 44, 110, "Scrambled Text", ButtonFont(false), Qt::AlignHCenter);
        auto* timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        auto* support = Button(24, 460, 110, "Support Tarnwick");
        // Its caption is too wide for the button in the system font: the
        // largest size that fits, chosen at design time.
        QFont supportFont = SystemBold();
        supportFont.setPixelSize(10);
        support->setFont(supportFont);

        // The window's Open: the kept plain message starts as the left text.
        text3->setPlainText(text1->toPlainText());
    }

private:
    QMenuBar* MakeMenuBar() {
        auto* bar = new QMenuBar(this);
        bar->setNativeMenuBar(false);
        auto item = [](QMenu* menu, const char* text, const char* shortcut,
                       QAction::MenuRole role = QAction::NoRole) {
            QAction* a = menu->addAction(QString::fromLatin1(text));
            if (shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
            a->setMenuRole(role);
        };
        QMenu* file = new QMenu(QStringLiteral("&File"), bar);
        item(file, "Print Help", "Ctrl+P");
        item(file, "Quit", "Ctrl+Q", QAction::QuitRole);
        bar->addMenu(file);
        QMenu* edit = new QMenu(QStringLiteral("&Edit"), bar);
        item(edit, "&Undo", "Ctrl+Z");
        edit->addSeparator();
        item(edit, "Cu&t", "Ctrl+X");
        item(edit, "&Copy", "Ctrl+C");
        item(edit, "&Paste", "Ctrl+V");
        item(edit, "&Delete", nullptr);
        edit->addSeparator();
        item(edit, "Select &All", "Ctrl+A");
        bar->addMenu(edit);
        QMenu* update = new QMenu(QStringLiteral("Check For Update"), bar);
        item(update, "Check Now", nullptr);
        bar->addMenu(update);
        QMenu* help = new QMenu(QStringLiteral("Scrandle Help"), bar);
        item(help, "Show Help", nullptr);
        item(help, "About...", nullptr, QAction::AboutRole);
        bar->addMenu(help);
        return bar;
    }

    QPlainTextEdit* TextArea(int x, int y, int w, int h) {
        auto* edit = new QPlainTextEdit(content_);
        edit->setGeometry(x, y, w, h);
        edit->setTabChangesFocus(true);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The selection is not shown while the area has no focus.
        QPalette p = edit->palette();
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Base));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::Text));
        edit->setPalette(p);
        new SpellHighlighter(edit->document());
        return edit;
    }

    QPushButton* Button(int x, int y, int w, const char* caption) {
        auto* button = new QPushButton(QString::fromLatin1(caption), content_);
        button->setGeometry(x, y, w, 20);
        button->setAutoDefault(false);
        button->setFont(ButtonFont());
        return button;
    }

    void Label(int x, int y, int w, const char* text, const QFont& font, Qt::Alignment align) {
        auto* label = new QLabel(QString::fromLatin1(text), content_);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(align | Qt::AlignTop);
        label->setGeometry(x, y, w, 20);
        label->setFont(font);
    }

    void WordList(int x, int y, int w, int h) {
        auto* view = new QTableView(content_);
        view->setGeometry(x, y, w, h);
        view->horizontalHeader()->hide();
        view->verticalHeader()->hide();
        view->horizontalHeader()->setStretchLastSection(true);
        // Rows of one height: the view places them by arithmetic.
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.features = QStyleOptionViewItem::HasDisplay;
        option.text = QStringLiteral("Xg");
        view->verticalHeader()->setDefaultSectionSize(
            view->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), view).height());
        view->setShowGrid(false);
        view->setWordWrap(false);
        view->setTabKeyNavigation(false);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setModel(new WordListModel(kWordList, kWordListSize, view));
    }

    QWidget* content_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(new Style(QApplication::style()->name()));
    QApplication::setQuitOnLastWindowClosed(false);
    MainWindow window;
    window.show();
    window.activateWindow();
    new bench::QuitAfterFirstPaint([] { QCoreApplication::quit(); });
    return app.exec();
}
