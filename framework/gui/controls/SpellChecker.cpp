#include "gui/controls/SpellChecker.h"

#include <hunspell.h>

#include <QFileInfo>
#include <QTimer>

#include <dlfcn.h>

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

// Hunspell's C interface, from its library loaded on the first dictionary.
struct HunspellApi {
    decltype(&Hunspell_create) create = nullptr;
    decltype(&Hunspell_destroy) destroy = nullptr;
    decltype(&Hunspell_spell) spell = nullptr;
    decltype(&Hunspell_get_dic_encoding) encoding = nullptr;
};

// Null when the library or one of its functions cannot be had; then no
// dictionary opens and every word counts as correct.
const HunspellApi* Hunspell() {
    static const HunspellApi* api = []() -> const HunspellApi* {
        void* library = dlopen(SCRANDLE_HUNSPELL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static HunspellApi loaded;
        auto find = [library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        if (!find(loaded.create, "Hunspell_create") || !find(loaded.destroy, "Hunspell_destroy") ||
            !find(loaded.spell, "Hunspell_spell") || !find(loaded.encoding, "Hunspell_get_dic_encoding"))
            return nullptr;
        return &loaded;
    }();
    return api;
}

}  // namespace

class SpellDictionary {
public:
    SpellDictionary(const HunspellApi& api, Hunhandle* handle) : api_(api), handle_(handle) {}
    ~SpellDictionary() { api_.destroy(handle_); }
    SpellDictionary(const SpellDictionary&) = delete;
    SpellDictionary& operator=(const SpellDictionary&) = delete;

    bool Spell(const std::string& word) const { return api_.spell(handle_, word.c_str()) != 0; }
    std::string Encoding() const {
        const char* e = api_.encoding(handle_);
        return e ? e : "";
    }

private:
    const HunspellApi& api_;
    Hunhandle* handle_;
};

namespace {
std::unique_ptr<SpellDictionary> OpenDictionary(const std::string& aff, const std::string& dic) {
    if (!QFileInfo::exists(QString::fromStdString(aff)) || !QFileInfo::exists(QString::fromStdString(dic)))
        return nullptr;
    const HunspellApi* api = Hunspell();
    if (!api) return nullptr;
    Hunhandle* handle = api->create(aff.c_str(), dic.c_str());
    return handle ? std::make_unique<SpellDictionary>(*api, handle) : nullptr;
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
        const std::string enc = hunspell_->Encoding();
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
    const bool ok = hunspell_->Spell(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
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
