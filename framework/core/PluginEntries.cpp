#include "core/PluginEntries.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <utility>

namespace fw {

namespace {

struct Entry {
    std::string signature;
    std::any fn;
};

std::vector<Entry>& Table() {
    static std::vector<Entry> table;
    return table;
}

void Add(std::string_view signature, std::any fn) {
    for (const Entry& e : Table())
        if (e.signature == signature) return;
    Table().push_back({std::string(signature), std::move(fn)});
}

QByteArray Utf8Of(const String& text) {
    const std::string bytes = text.ToUtf8();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

String MD5(const String& text) {
    const QByteArray digest = QCryptographicHash::hash(Utf8Of(text), QCryptographicHash::Md5);
    return String(digest.toHex().toStdString());
}

String EncodeBase64(const String& text, int32_t lineWrap) {
    const QByteArray encoded = Utf8Of(text).toBase64();
    if (lineWrap <= 0 || encoded.size() <= lineWrap) return String(encoded.toStdString());
    const auto width = static_cast<qsizetype>(lineWrap);
    std::string out;
    out.reserve(static_cast<std::size_t>(encoded.size() + 2 * (encoded.size() / width + 1)));
    for (qsizetype i = 0; i < encoded.size(); i += width) {
        if (i > 0) out += "\r\n";
        out.append(encoded.constData() + i, static_cast<std::size_t>(std::min(width, encoded.size() - i)));
    }
    return String(out);
}

void InitPluginEntrypoints() {
    Add(kMd5Signature, static_cast<Md5Entry*>(&MD5));
    Add(kBase64Signature, static_cast<Base64Entry*>(&EncodeBase64));
}

const std::any* FindPluginEntryAny(std::string_view signature) {
    for (const Entry& e : Table())
        if (e.signature == signature) return &e.fn;
    return nullptr;
}

std::vector<std::string> PluginEntrySignatures() {
    std::vector<std::string> out;
    for (const Entry& e : Table()) out.push_back(e.signature);
    return out;
}

}  // namespace fw
