// The installer's command line as a map of options. Each argument is one option: a dash,
// the name, "=" and the value ("-downloadurl=https://..."). Names are case-sensitive and
// the first occurrence of an option wins.
#pragma once

#include <map>
#include <string>

class CommandLineOptions {
 public:
  // Splits the text with the Windows rules (CommandLineToArgvW). The program's own path,
  // the first argument, is read like every other argument.
  explicit CommandLineOptions(const std::wstring& commandLine);

  bool Has(const std::wstring& key) const;
  std::wstring GetString(const std::wstring& key) const;
  // fallback when absent, else whether the value is exactly "true".
  bool GetBool(const std::wstring& key, bool fallback) const;
  // The value read as a decimal number (leading number of the text, as wcstod reads it);
  // fallback when the key is absent or the value holds no number.
  double GetDouble(const std::wstring& key, double fallback) const;

 private:
  void Add(const std::wstring& argument);

  std::map<std::wstring, std::wstring> options_;
};

// Reads the longest leading decimal number of a text the way wcstod does (leading white
// space skipped, the rest ignored). False when the text holds no number at all.
bool ParseLeadingDouble(const std::wstring& text, double* value);
