// The TLS library's exit handler frees every thread's state; a detached
// thread of Qt's still ending at that moment frees its own a second time.
// KeepTlsStateUntilExit turns the handler off. Whether it ran shows after
// exit: a library that was cleaned up refuses any part of its set-up that
// was not done yet.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include <gtest/gtest.h>

#include "gui/net/qt_http.h"

namespace qb::testing {
namespace {

using Init = int (*)(uint64_t, const void*);
Init init = nullptr;

// In a child process of its own: exits 0 when the library's state is still
// there after the exit handlers, 3 when it was freed.
[[noreturn]] void ExitAndReport(bool keep) {
    // Registered before the library's, so it runs after it.
    std::atexit([] {
        constexpr uint64_t kAddAllCiphers = 0x00000004;
        _exit(init(kAddAllCiphers, nullptr) == 1 ? 0 : 3);
    });
    if (keep) KeepTlsStateUntilExit();
    constexpr uint64_t kLoadConfig = 0x00000040;
    init(kLoadConfig, nullptr);  // a set-up as Qt's TLS backend does on first use
    std::exit(0);
}

TEST(TlsAtExit, TheLibraryStateOutlivesTheExitHandlers) {
    void* crypto = dlopen("libcrypto.so.3", RTLD_NOW);
    if (crypto != nullptr) init = reinterpret_cast<Init>(dlsym(crypto, "OPENSSL_init_crypto"));
    if (init == nullptr) GTEST_SKIP() << "no TLS library here";
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, library untouched
    EXPECT_EXIT(ExitAndReport(true), ::testing::ExitedWithCode(0), "");
    // Without it the library cleans up at exit: the check above can tell.
    EXPECT_EXIT(ExitAndReport(false), ::testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace qb::testing
