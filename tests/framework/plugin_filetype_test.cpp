#include "core/FileType.h"
#include "core/PluginEntries.h"

#include <gtest/gtest.h>

using fw::String;

namespace {

TEST(PluginEntries, AreFoundByTheirSignatureOnceInitialised) {
    fw::InitPluginEntrypoints();
    fw::InitPluginEntrypoints();  // a second start-up adds nothing
    EXPECT_EQ(fw::PluginEntrySignatures(),
              (std::vector<std::string>{std::string(fw::kMd5Signature), std::string(fw::kBase64Signature)}));

    auto* md5 = fw::FindPluginEntry<fw::Md5Entry>(fw::kMd5Signature);
    auto* base64 = fw::FindPluginEntry<fw::Base64Entry>(fw::kBase64Signature);
    ASSERT_NE(md5, nullptr);
    ASSERT_NE(base64, nullptr);
    EXPECT_TRUE(md5("abc").Identical("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_TRUE(base64("foobar", 76).Identical("Zm9vYmFy"));

    EXPECT_EQ(fw::FindPluginEntry<fw::Md5Entry>("MD5(s As String)"), nullptr);
    // The right signature asked for as the wrong kind of function.
    EXPECT_EQ(fw::FindPluginEntry<fw::Md5Entry>(fw::kBase64Signature), nullptr);
}

TEST(PluginEntries, Md5MatchesRfc1321AndHashesUtf8) {
    struct Case { const char* in; const char* hex; };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {"\xC3\xA9", "66ddcd97cfdeabb2f6fb8a999b4bc76f"},  // U+00E9 as its two UTF-8 bytes
    };
    for (const auto& c : cases) EXPECT_TRUE(fw::MD5(c.in).Identical(c.hex)) << c.in << " gave " << fw::MD5(c.in).ToUtf8();
}

TEST(PluginEntries, Base64MatchesRfc4648AndWrapsLines) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
                          {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"\xC3\xA9", "w6k="}};
    for (const auto& c : cases) EXPECT_TRUE(fw::EncodeBase64(c.in).Identical(c.out)) << c.in;

    // 120 bytes give 160 characters: lines of 76, 76 and 8, joined by CR LF.
    const std::string text(120, 'x');
    const std::string flat = fw::EncodeBase64(text.c_str(), 0).ToUtf8();
    ASSERT_EQ(flat.size(), 160u);
    EXPECT_EQ(fw::EncodeBase64(text.c_str()).ToUtf8(),
              flat.substr(0, 76) + "\r\n" + flat.substr(76, 76) + "\r\n" + flat.substr(152));
    EXPECT_EQ(fw::EncodeBase64(text.c_str(), 80).ToUtf8(), flat.substr(0, 80) + "\r\n" + flat.substr(80));
    // Exactly one full line: no line end after it.
    EXPECT_EQ(fw::EncodeBase64(std::string(57, 'x').c_str()).Size(), 76u);
}

TEST(FileTypes, ConversionRegistersOncePerObjectAndGivesTheName) {
    fw::ClearRegisteredFileTypes();
    auto type = fw::New<fw::FileType>();
    type->SetName("untitled");
    type->SetExtensions(".txt");
    type->SetMacType("TEXT");
    type->SetMacCreator("????");
    EXPECT_FALSE(type->Registered());

    EXPECT_TRUE(type->ToString().Identical("untitled"));
    EXPECT_TRUE(static_cast<String>(*type).Identical("untitled"));
    ASSERT_EQ(fw::RegisteredFileTypes().size(), 1u);
    const auto& r = fw::RegisteredFileTypes()[0];
    EXPECT_TRUE(r.name.Identical("untitled"));
    EXPECT_TRUE(r.extensions.Identical(".txt"));
    EXPECT_TRUE(r.macType.Identical("TEXT"));
    EXPECT_TRUE(r.macCreator.Identical("????"));

    // Another object of the same name is a registration of its own.
    auto other = fw::New<fw::FileType>();
    other->SetName("untitled");
    other->ToString();
    other->ToString();
    EXPECT_EQ(fw::RegisteredFileTypes().size(), 2u);
    fw::ClearRegisteredFileTypes();
}

}  // namespace
