// The registry store under Wine: values land under the suite's key and read
// back, names without regard to case, defaults when absent.
#include <gtest/gtest.h>
#include <windows.h>

#include "shell/settings.h"

namespace {
void deleteValue(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, name);
    RegCloseKey(key);
  }
}
}  // namespace

TEST(RegistryStore, RoundTripsUnderTheSuiteKey) {
  ASSERT_EQ(regWriteString("BookBox_Telnet", "103"), 0);
  EXPECT_EQ(regReadInt("Bookbox_Telnet", 107), 103);
  char text[32];
  EXPECT_EQ(regReadString("BOOKBOX_TELNET", "x", text, sizeof text), 3);
  EXPECT_STREQ(text, "103");

  // Read back with the raw API: a string value without its NUL, under HKLM.
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelvro32", 0, KEY_READ, &key), ERROR_SUCCESS);
  char raw[32] = {};
  DWORD type = 0, size = sizeof raw;
  EXPECT_EQ(RegQueryValueExA(key, "BookBox_Telnet", nullptr, &type, reinterpret_cast<BYTE*>(raw), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(raw, "103");
  deleteValue("BookBox_Telnet");
}

TEST(RegistryStore, DefaultsWhenAbsentAndBoundedCopies) {
  deleteValue("scroll");
  EXPECT_EQ(regReadInt("scroll", 1000), 1000);
  char small[4];
  EXPECT_EQ(regReadString("scroll", "defaultvalue", small, sizeof small), 3);
  EXPECT_STREQ(small, "def");

  ASSERT_EQ(regWriteString("FirewallAddressTelnet", "a-rather-long-host-name.example"), 0);
  EXPECT_EQ(regReadString("FirewallAddressTelnet", "", small, sizeof small), 3);
  EXPECT_STREQ(small, "a-r");
  ASSERT_EQ(regWriteString("telnetw", "wide"), 0);
  EXPECT_EQ(regReadInt("telnetw", 5), 0) << "text that is not a number reads as 0";
  deleteValue("FirewallAddressTelnet");
  deleteValue("telnetw");
}
