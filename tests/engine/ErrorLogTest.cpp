#include <gtest/gtest.h>
#include <string>

#include "engine/ErrorLog.h"

namespace {

TEST(ErrorLog, RecordLaysOutNameCodeAndMessage) {
    EXPECT_EQ(FormatApiErrorRecord("CreateProcess", 2, "File not found.\r\n"),
              "ERROR:   API         =   CreateProcess.\n"
              "       error   code   =   2.\n"
              "       message         =   File not found.\r\n.\n");
    EXPECT_EQ(FormatApiErrorRecord("DupliateHandle", 6, "Invalid handle."),
              "ERROR:   API         =   DupliateHandle.\n"
              "       error   code   =   6.\n"
              "       message         =   Invalid handle..\n");
    // The code is printed signed, as the record always has.
    EXPECT_EQ(FormatApiErrorRecord(nullptr, 0x80070005ul, nullptr), "ERROR:   API         =   .\n"
                                                                    "       error   code   =   -2147024891.\n"
                                                                    "       message         =   .\n");
    const std::string longMessage(600, 'x');
    const std::string cut = FormatApiErrorRecord("ReadFile", 109, longMessage.c_str());
    EXPECT_EQ(cut.size(), 511u);
    EXPECT_EQ(cut.rfind("ERROR:   API         =   ReadFile.\n       error   code   =   109.\n", 0), 0u);
}

} // namespace
