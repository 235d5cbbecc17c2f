// How the background jobs report: a code, a number and a text. The downloader, the
// install session and the uninstall runner each call one from their worker thread; the
// install pipeline forwards every event to the main window, which posts it to itself.
//
// Codes: 1001-1004 download (start, progress fraction, done, failed);
//        2001-2004 install session (start, progress fraction, success, failure);
//        3000-3009 facts the package reports (no 3006);
//        5002-5004 removal of the earlier installation (progress, success, failure).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

using EventCallback = std::function<void(int32_t code, double value, const std::wstring& text)>;
