#include "app/CommandLineOptions.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

// Splitting follows the Windows rules; the first occurrence of an option wins; names
// are case-sensitive; the program path is an argument like the others.
TEST(CommandLineOptions, ParsesArgumentsTable) {
  struct Row { const wchar_t* line; const wchar_t* key; bool has; const wchar_t* value; };
  const Row rows[] = {
      {L"setup.exe -instcmd=a -instcmd=b", L"-instcmd", true, L"a"},
      {L"setup.exe -downloadurl", L"-downloadurl", true, L""},
      {L"setup.exe -downloadurl=http://h/p?a=1&b=2", L"-downloadurl", true, L"http://h/p?a=1&b=2"},
      {L"setup.exe \"-instcmd=/x  y\"", L"-instcmd", true, L"/x  y"},
      {L"setup.exe -instcmd=\"/x  y\"", L"-instcmd", true, L"/x  y"},
      {L"setup.exe -DownloadUrl=x", L"-downloadurl", false, L""},
      {L"setup.exe plain", L"plain", true, L""},
      {L"\"C:\\Program Files\\setup.exe\" -ischecknet=true", L"C:\\Program Files\\setup.exe", true, L""},
      {L"setup.exe a=b", L"a=b", true, L""},  // no dash: the whole argument is the key
      {L"", L"-instcmd", false, L""},
  };
  for (const Row& row : rows) {
    CommandLineOptions options(row.line);
    EXPECT_EQ(options.Has(row.key), row.has) << row.line;
    EXPECT_EQ(options.GetString(row.key), row.value) << row.line;
  }
}

// Booleans are "true" exactly; decimals take the leading number, else the fallback.
TEST(CommandLineOptions, TypedGetters) {
  CommandLineOptions options(
      L"x -a=true -b=TRUE -c=0.25abc -d=abc -e= \"-f=  1e3\" -g=-0.5 -h");
  EXPECT_TRUE(options.GetBool(L"-a", false));
  EXPECT_FALSE(options.GetBool(L"-b", true));
  EXPECT_TRUE(options.GetBool(L"-missing", true));
  EXPECT_FALSE(options.GetBool(L"-h", true));
  EXPECT_DOUBLE_EQ(options.GetDouble(L"-c", 9.0), 0.25);
  EXPECT_DOUBLE_EQ(options.GetDouble(L"-d", 9.0), 9.0);
  EXPECT_DOUBLE_EQ(options.GetDouble(L"-e", 9.0), 9.0);
  EXPECT_DOUBLE_EQ(options.GetDouble(L"-f", 9.0), 1000.0);
  EXPECT_DOUBLE_EQ(options.GetDouble(L"-g", 9.0), -0.5);
  EXPECT_DOUBLE_EQ(options.GetDouble(L"-missing", 9.0), 9.0);
  EXPECT_TRUE(std::isnan(options.GetDouble(L"-h", NAN)));
}

}  // namespace
