// Control classes the skin format names but whose families this framework does not
// implement (lists, trees, combos, rich edits, embedded browsers ...). A skin that uses
// them still builds: each is a plain control or container that answers to its class
// name, lays out and paints like its base, and keeps the attributes its base knows.
#pragma once

#include <string>

#include "skinui/UIContainer.h"
#include "skinui/UIControl.h"
#include "skinui/UIHorizontalLayout.h"
#include "skinui/UIVerticalLayout.h"

namespace SkinUI {

template <class Base>
class CPlainExtendedUI : public Base {
 public:
  explicit CPlainExtendedUI(const wchar_t* className) : className_(className) {}
  std::wstring ClassName() const override { return className_; }
  void* FindInterface(const std::wstring& name) override {
    if (name == className_) return this;
    return Base::FindInterface(name);
  }

 private:
  const wchar_t* className_;
};

class CTextUI : public CPlainExtendedUI<CControlUI> {
 public:
  CTextUI() : CPlainExtendedUI(L"Text") {}
};
class CRichEditUI : public CPlainExtendedUI<CContainerUI> {
 public:
  CRichEditUI() : CPlainExtendedUI(L"RichEdit") {}
};
class CSliderUI : public CPlainExtendedUI<CControlUI> {
 public:
  CSliderUI() : CPlainExtendedUI(L"Slider") {}
};
class CComboUI : public CPlainExtendedUI<CContainerUI> {
 public:
  CComboUI() : CPlainExtendedUI(L"Combo") {}
};
class CDateTimeUI : public CPlainExtendedUI<CControlUI> {
 public:
  CDateTimeUI() : CPlainExtendedUI(L"DateTime") {}
};
class CListUI : public CPlainExtendedUI<CVerticalLayoutUI> {
 public:
  CListUI() : CPlainExtendedUI(L"List") {}
};
class CListHeaderUI : public CPlainExtendedUI<CHorizontalLayoutUI> {
 public:
  CListHeaderUI() : CPlainExtendedUI(L"ListHeader") {}
};
class CListHeaderItemUI : public CPlainExtendedUI<CControlUI> {
 public:
  CListHeaderItemUI() : CPlainExtendedUI(L"ListHeaderItem") {}
};
class CListTextElementUI : public CPlainExtendedUI<CControlUI> {
 public:
  CListTextElementUI() : CPlainExtendedUI(L"ListTextElement") {}
};
class CListLabelElementUI : public CPlainExtendedUI<CControlUI> {
 public:
  CListLabelElementUI() : CPlainExtendedUI(L"ListLabelElement") {}
};
class CListHBoxElementUI : public CPlainExtendedUI<CHorizontalLayoutUI> {
 public:
  CListHBoxElementUI() : CPlainExtendedUI(L"ListHBoxElement") {}
};
class CListContainerElementUI : public CPlainExtendedUI<CContainerUI> {
 public:
  CListContainerElementUI() : CPlainExtendedUI(L"ListContainerElement") {}
};
class CTreeViewUI : public CPlainExtendedUI<CVerticalLayoutUI> {
 public:
  CTreeViewUI() : CPlainExtendedUI(L"TreeView") {}
};
// A node holds its row items and its child nodes in one horizontal row.
class CTreeNodeUI : public CPlainExtendedUI<CHorizontalLayoutUI> {
 public:
  CTreeNodeUI() : CPlainExtendedUI(L"TreeNode") {}
};
class CTileLayoutUI : public CPlainExtendedUI<CContainerUI> {
 public:
  CTileLayoutUI() : CPlainExtendedUI(L"TileLayout") {}
};
class CChildLayoutUI : public CPlainExtendedUI<CContainerUI> {
 public:
  CChildLayoutUI() : CPlainExtendedUI(L"ChildLayout") {}
};
class CActiveXUI : public CPlainExtendedUI<CControlUI> {
 public:
  CActiveXUI() : CPlainExtendedUI(L"ActiveX") {}
};
class CWebBrowserUI : public CPlainExtendedUI<CActiveXUI> {
 public:
  CWebBrowserUI() : CPlainExtendedUI(L"WebBrowser") {}
};
class CGifAnimUI : public CPlainExtendedUI<CControlUI> {
 public:
  CGifAnimUI() : CPlainExtendedUI(L"GifAnim") {}
};

}  // namespace SkinUI
