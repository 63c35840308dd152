// Saves a text the way the program does, for tests that run it as another
// user (setpriv): save_as through|replace PATH TEXT [FILE_SIZE_LIMIT]
//   through: TextOutputStream::Create, which writes the file a link names;
//   replace: FolderItem::CreateTextFile, which replaces the item itself.
// Prints "saved", or "failed ERRNO LEFT" with LEFT one of old, part,
// unknown (what the failed stream left in the target's place).
#include "core/Exceptions.h"
#include "core/Files.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/resource.h>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: save_as through|replace PATH TEXT [FILE_SIZE_LIMIT]\n");
        return 2;
    }
    const bool through = std::strcmp(argv[1], "through") == 0;
    if (argc > 4) {
        // A write past the limit fails with EFBIG rather than the signal
        // ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = std::strtoull(argv[4], nullptr, 10);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    auto item = fw::New<fw::FolderItem>(argv[2]);
    fw::Ref<fw::TextOutputStream> out;
    try {
        out = through ? fw::TextOutputStream::Create(item) : item->CreateTextFile();
        out->WriteBytes(argv[3]);
        out->Close();
        std::printf("saved\n");
    } catch (const fw::IOException& e) {
        using Left = fw::TextOutputStream::Left;
        const Left left = out ? out->WhatIsLeft() : Left::OldContent;
        std::printf("failed %d %s\n", e.ErrorNumber,
                    left == Left::OldContent ? "old" : left == Left::PartOfNewText ? "part" : "unknown");
    }
    return 0;
}
