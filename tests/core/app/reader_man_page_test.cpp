// quillbox-reader.1 is written by hand: every option of the reader's usage
// text is in it, with the exit statuses.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "app/reader_options.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

TEST(ReaderManPage, EveryOptionOfTheUsageIsDocumented) {
    std::string roff = ReadFile(std::string(QB_SOURCE_DIR) + "/docs/man/quillbox-reader.1");
    ASSERT_FALSE(roff.empty());
    std::string page = std::regex_replace(roff, std::regex("\\\\-"), "-");
    std::string usage = ReaderUsage();
    // Options begin a word: "read-only" holds none.
    static const std::regex option("(^|[\\s\\[|,])(-{1,2}[a-z][a-z0-9-]*)");
    int found = 0;
    for (std::sregex_iterator it(usage.begin(), usage.end(), option), end; it != end; ++it) {
        EXPECT_NE(page.find((*it)[2].str()), std::string::npos) << (*it)[2].str();
        ++found;
    }
    EXPECT_GE(found, 4);
    for (const char* status : {".B 0\n", ".B 1\n", ".B 2\n"})
        EXPECT_NE(page.find(status), std::string::npos) << status;
}

}  // namespace
}  // namespace qb::testing
