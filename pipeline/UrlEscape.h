// Escaping of the package address before it is handed to the URL moniker service.
#pragma once

#include <string>

// Reads the address as UTF-8 bytes: bytes 0x21 to 0x7E stay as they are (so "%", "/",
// "?", "&" and "=" pass through and an address that is already escaped is not escaped
// again), the space becomes "+", and every other byte becomes "%" and two upper-case
// hexadecimal digits.
std::wstring UrlEscape(const std::wstring& url);
