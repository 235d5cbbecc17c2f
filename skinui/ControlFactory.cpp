#include "skinui/ControlFactory.h"

#include <windows.h>

#include "skinui/UIButton.h"
#include "skinui/UICheckBox.h"
#include "skinui/UIContainer.h"
#include "skinui/UIControl.h"
#include "skinui/UIEdit.h"
#include "skinui/UIExtendedControls.h"
#include "skinui/UIHorizontalLayout.h"
#include "skinui/UILabel.h"
#include "skinui/UIOption.h"
#include "skinui/UIProgress.h"
#include "skinui/UIScrollBar.h"
#include "skinui/UITabLayout.h"
#include "skinui/UIVerticalLayout.h"

namespace SkinUI {
namespace {

template <class Control>
CControlUI* Make() {
  return new Control();
}

struct FactoryEntry {
  const wchar_t* name;
  bool exactCase;
  CControlUI* (*create)();
};

// The skin format matches every name ignoring case but the animation control's.
constexpr FactoryEntry kFactory[] = {
    {L"Control", false, Make<CControlUI>},
    {L"Container", false, Make<CContainerUI>},
    {L"VerticalLayout", false, Make<CVerticalLayoutUI>},
    {L"VBox", false, Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", false, Make<CHorizontalLayoutUI>},
    {L"HBox", false, Make<CHorizontalLayoutUI>},
    {L"TabLayout", false, Make<CTabLayoutUI>},
    {L"Label", false, Make<CLabelUI>},
    {L"Button", false, Make<CButtonUI>},
    {L"Option", false, Make<COptionUI>},
    {L"CheckBox", false, Make<CCheckBoxUI>},
    {L"Progress", false, Make<CProgressUI>},
    {L"Edit", false, Make<CEditUI>},
    {L"ScrollBar", false, Make<CScrollBarUI>},
    {L"Text", false, Make<CTextUI>},
    {L"RichEdit", false, Make<CRichEditUI>},
    {L"Slider", false, Make<CSliderUI>},
    {L"Combo", false, Make<CComboUI>},
    {L"ComboBox", false, Make<CComboUI>},
    {L"DateTime", false, Make<CDateTimeUI>},
    {L"List", false, Make<CListUI>},
    {L"ListHeader", false, Make<CListHeaderUI>},
    {L"ListHeaderItem", false, Make<CListHeaderItemUI>},
    {L"ListTextElement", false, Make<CListTextElementUI>},
    {L"ListLabelElement", false, Make<CListLabelElementUI>},
    {L"ListHBoxElement", false, Make<CListHBoxElementUI>},
    {L"ListContainerElement", false, Make<CListContainerElementUI>},
    {L"Tree", false, Make<CTreeViewUI>},
    {L"TreeView", false, Make<CTreeViewUI>},
    {L"TileLayout", false, Make<CTileLayoutUI>},
    {L"ChildLayout", false, Make<CChildLayoutUI>},
    {L"ActiveX", false, Make<CActiveXUI>},
    {L"WebBrowser", false, Make<CWebBrowserUI>},
    {L"GifAnim", true, Make<CGifAnimUI>},
};

}  // namespace

CControlUI* CreateControlByElementName(const wchar_t* name) {
  if (name == nullptr) return nullptr;
  for (const FactoryEntry& entry : kFactory) {
    bool same = entry.exactCase ? ::lstrcmpW(name, entry.name) == 0
                                : ::lstrcmpiW(name, entry.name) == 0;
    if (same) return entry.create();
  }
  return nullptr;
}

}  // namespace SkinUI
