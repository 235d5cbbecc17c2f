#include "pipeline/PipePair.h"

bool PipePair::Create() {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof(attributes);
  attributes.bInheritHandle = TRUE;
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &attributes, 0)) return false;
  read.reset(readEnd);
  write.reset(writeEnd);
  return true;
}

bool PipePair::KeepInParent(const Utils::ScopedHandle& end) {
  return ::SetHandleInformation(end.get(), HANDLE_FLAG_INHERIT, 0) != FALSE;
}
