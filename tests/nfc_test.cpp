// utf8proc's NFC gives the same bytes on both systems: the answers below
// were computed on Linux with Debian's libutf8proc2, and the Windows build
// (built from Debian's sources) must reproduce them under Wine. (ISA-L's
// parity is checked on both systems by parity_code_test, against the code's
// formula computed bit by bit.)
#include <utf8proc.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(Unicode, NfcAsOnLinux) {
    const struct {
        const char* text;
        const char* nfc;  // nullptr: refused
    } cases[] = {
        {"e\u0301", "\u00e9"},                   // base + combining accent composed
        {"contrase\u00f1a", "contrase\u00f1a"},  // already composed: unchanged
        {"\u212b", "\u00c5"},                    // singleton (Angstrom sign) replaced
        {"\u1e0b\u0323", "\u1e0d\u0307"},        // marks reordered, then composed
        {"\u1100\u1161\u11a8", "\uac01"},        // Hangul jamo composed
        {"\xff", nullptr},                       // not UTF-8
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        utf8proc_uint8_t* out = nullptr;
        const utf8proc_ssize_t size = utf8proc_map(
            reinterpret_cast<const utf8proc_uint8_t*>(c.text), 0, &out,
            static_cast<utf8proc_option_t>(UTF8PROC_NULLTERM | UTF8PROC_STABLE | UTF8PROC_COMPOSE));
        if (c.nfc == nullptr) {
            EXPECT_EQ(size, UTF8PROC_ERROR_INVALIDUTF8);
        } else {
            ASSERT_GE(size, 0) << utf8proc_errmsg(size);
            EXPECT_EQ(std::string(reinterpret_cast<char*>(out), size), c.nfc);
        }
        std::free(out);
    }
}

}  // namespace
