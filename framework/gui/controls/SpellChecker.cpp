#include "gui/controls/SpellChecker.h"

#include <hunspell.hxx>

#include <QFileInfo>
#include <QTimer>

#include <chrono>

namespace fw {

namespace {

// A block longer than this is checked only up to here: a single line of
// megabytes is no prose anyone reads word by word, and checking it would
// stall typing.
constexpr int kMaxCheckedPerBlock = 100000;
constexpr int kMaxVerdicts = 50000;

bool IsApostrophe(QChar c) { return c == QLatin1Char('\'') || c == QChar(0x2019); }

}  // namespace

SpellChecker::SpellChecker(std::string affPath, std::string dicPath)
    : affPath_(std::move(affPath)), dicPath_(std::move(dicPath)) {}

SpellChecker::~SpellChecker() = default;

SpellChecker& SpellChecker::Shared() {
    static SpellChecker* checker = new SpellChecker("/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic");
    return *checker;
}

namespace {
std::unique_ptr<Hunspell> OpenDictionary(const std::string& aff, const std::string& dic) {
    if (!QFileInfo::exists(QString::fromStdString(aff)) || !QFileInfo::exists(QString::fromStdString(dic)))
        return nullptr;
    return std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
}
}  // namespace

void SpellChecker::Load() {
    tried_ = true;
    if (pending_.valid()) {
        hunspell_ = pending_.get();
    } else {
        hunspell_ = OpenDictionary(affPath_, dicPath_);
    }
    if (hunspell_) {
        const std::string& enc = hunspell_->get_dict_encoding();
        utf8_ = enc == "UTF-8" || enc == "utf-8" || enc == "UTF8";
    }
}

void SpellChecker::LoadInBackground() {
    deferred_ = false;
    if (tried_ || pending_.valid()) return;
    // The dictionary object is made on the worker and used only on the user
    // interface thread once it is handed over.
    pending_ = std::async(std::launch::async, OpenDictionary, affPath_, dicPath_);
}

bool SpellChecker::Ready() {
    if (tried_) return true;
    if (deferred_) return false;
    if (!pending_.valid()) return true;
    return pending_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool SpellChecker::Available() {
    if (!tried_) {
        if (deferred_) return false;
        if (pending_.valid() && !Ready()) return false;
        Load();
    }
    return hunspell_ != nullptr;
}

bool SpellChecker::IsCorrect(const QString& word) {
    if (!Available() || word.isEmpty()) return true;
    auto it = verdicts_.constFind(word);
    if (it != verdicts_.constEnd()) return it.value();
    QString w = word;
    w.replace(QChar(0x2019), QLatin1Char('\''));
    const QByteArray bytes = utf8_ ? w.toUtf8() : w.toLatin1();
    const bool ok = hunspell_->spell(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (verdicts_.size() >= kMaxVerdicts) verdicts_.clear();
    verdicts_.insert(word, ok);
    return ok;
}

std::vector<std::pair<int, int>> SpellChecker::Misspellings(const QString& text) {
    std::vector<std::pair<int, int>> out;
    const int n = static_cast<int>(std::min<qsizetype>(text.size(), kMaxCheckedPerBlock));
    int i = 0;
    while (i < n) {
        if (!text[i].isLetterOrNumber()) {
            ++i;
            continue;
        }
        const int start = i;
        bool digit = false;
        while (i < n) {
            const QChar c = text[i];
            if (c.isLetterOrNumber() || c.isMark()) {
                digit = digit || c.isDigit();
                ++i;
            } else if (IsApostrophe(c) && i + 1 < n && text[i + 1].isLetter()) {
                ++i;
            } else if (c.isHighSurrogate() && i + 1 < n) {
                i += 2;
            } else {
                break;
            }
        }
        if (digit) continue;
        const QString word = text.mid(start, i - start);
        if (!IsCorrect(word)) out.emplace_back(start, i - start);
    }
    return out;
}

SpellHighlighter::SpellHighlighter(QObject* parent, SpellChecker& checker)
    : QSyntaxHighlighter(parent), checker_(checker), format_(MisspeltFormat()) {}

QTextCharFormat SpellHighlighter::MisspeltFormat() {
    QTextCharFormat f;
    f.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    f.setUnderlineColor(Qt::red);
    return f;
}

void SpellHighlighter::highlightBlock(const QString& text) {
    if (!checker_.Ready()) {
        // Look again once the dictionary has arrived.
        if (!waiting_) {
            waiting_ = true;
            auto* timer = new QTimer(this);
            timer->setInterval(50);
            QObject::connect(timer, &QTimer::timeout, this, [this, timer] {
                if (!checker_.Ready()) return;
                timer->deleteLater();
                waiting_ = false;
                rehighlight();
            });
            timer->start();
        }
        return;
    }
    for (const auto& [start, length] : checker_.Misspellings(text)) setFormat(start, length, format_);
}

}  // namespace fw
