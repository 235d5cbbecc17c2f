// The class-name factory of skin descriptions: element name to a new control.
#pragma once

namespace SkinUI {

class CControlUI;

// A new control for a skin element name, or null for a name the framework does not know.
// Names are compared ignoring case, except "GifAnim", which must be written exactly.
CControlUI* CreateControlByElementName(const wchar_t* name);

}  // namespace SkinUI
