#include "pipeline/UserPrivilege.h"

#include <windows.h>
#include <lm.h>
#include <wtsapi32.h>

namespace {

// Frees what WTSQuerySessionInformationW allocated.
struct WtsText {
  LPWSTR text = nullptr;
  ~WtsText() {
    if (text) ::WTSFreeMemory(text);
  }
};

struct NetBuffer {
  LPBYTE data = nullptr;
  ~NetBuffer() {
    if (data) ::NetApiBufferFree(data);
  }
};

}  // namespace

bool IsConsoleUserAdministrator() {
  const DWORD session = ::WTSGetActiveConsoleSessionId();
  if (session == 0xFFFFFFFF) return false;
  WtsText userName;
  DWORD bytes = 0;
  if (!::WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, WTSUserName,
                                     &userName.text, &bytes) ||
      !userName.text || !userName.text[0]) {
    return false;
  }
  NetBuffer info;
  if (::NetUserGetInfo(nullptr, userName.text, 1, &info.data) != NERR_Success || !info.data)
    return false;
  return reinterpret_cast<const USER_INFO_1*>(info.data)->usri1_priv == USER_PRIV_ADMIN;
}

bool IsProcessAdministrator() {
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!::AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators)) {
    return false;
  }
  BOOL member = FALSE;
  if (!::CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  ::FreeSid(administrators);
  return member != FALSE;
}
