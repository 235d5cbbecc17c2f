#include "skinui/LayoutBuilder.h"

#include <cwchar>

#include "skinui/ControlFactory.h"
#include "skinui/UIContainer.h"
#include "skinui/UIControl.h"
#include "skinui/UIExtendedControls.h"
#include "skinui/UIManager.h"

namespace SkinUI {
namespace {

bool SameName(const wchar_t* a, const wchar_t* b) { return ::lstrcmpiW(a, b) == 0; }

bool IsTrue(const wchar_t* value) { return SameName(value, L"true"); }

int DecimalValue(const wchar_t* value) {
  return static_cast<int>(std::wcstol(value, nullptr, 10));
}

DWORD HexValue(const wchar_t* value) {
  if (*value == L'#') ++value;
  return static_cast<DWORD>(std::wcstoul(value, nullptr, 16));
}

bool IsDeclaration(const wchar_t* name) {
  return SameName(name, L"Image") || SameName(name, L"Font") || SameName(name, L"Default") ||
         SameName(name, L"MultiLanguage");
}

// The control to destroy when the build cannot hand it to anyone.
void Discard(CControlUI* control) {
  if (control != nullptr) control->DeleteSelf();
}

}  // namespace

CControlUI* CLayoutBuilder::Build(LPCWSTR source, LPCWSTR resourceType,
                                  IDialogBuilderCallback* callback, CUIManager* manager,
                                  CControlUI* parent) {
  if (source == nullptr) return nullptr;
  if (IS_INTRESOURCE(source)) {
    HMODULE module = CUIManager::ResourceInstance();
    HRSRC resource = ::FindResourceW(module, source, resourceType);
    if (resource == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    DWORD size = ::SizeofResource(module, resource);
    const BYTE* bytes = loaded != nullptr ? static_cast<const BYTE*>(::LockResource(loaded))
                                          : nullptr;
    if (bytes == nullptr || size == 0) return nullptr;
    if (!document_.LoadBytes(bytes, size, XmlEncodingUtf8)) return nullptr;
    fromResource_ = true;
    if (resourceType != nullptr && !IS_INTRESOURCE(resourceType)) {
      resourceTypeName_ = resourceType;
      resourceType_ = resourceTypeName_.c_str();
    } else {
      resourceType_ = resourceType;
    }
  } else if (source[0] == L'<') {
    if (!document_.LoadText(source)) return nullptr;
  } else if (!document_.LoadFile(source, XmlEncodingUtf8)) {
    return nullptr;
  }
  return BuildLoaded(callback, manager, parent);
}

CControlUI* CLayoutBuilder::BuildLoaded(IDialogBuilderCallback* callback, CUIManager* manager,
                                        CControlUI* parent) {
  callback_ = callback;
  CSkinXmlNode root = document_.Root();
  if (!root.IsValid()) return nullptr;
  if (manager != nullptr) {
    RegisterDeclarations(root, manager);
    if (SameName(root.Name(), L"Window") && manager->Window() != nullptr) {
      for (uint32_t i = 0; i < root.AttributeCount(); ++i) {
        manager->ApplyWindowAttribute(root.AttributeName(i), root.AttributeValue(i));
      }
    }
  }
  return BuildChildren(root, parent, manager);
}

void CLayoutBuilder::RegisterDeclarations(CSkinXmlNode root, CUIManager* manager) {
  for (CSkinXmlNode node = root.FirstChild(); node.IsValid(); node = node.NextSibling()) {
    const wchar_t* element = node.Name();
    if (!IsDeclaration(element)) continue;
    // A repeated attribute overrides the earlier one, so every value is read in order.
    std::wstring name, type, value, restype;
    int id = -1;
    int size = 12;
    DWORD mask = 0;
    bool bold = false, underline = false, italic = false, isDefault = false, shared = false;
    bool hasName = false, hasValue = false;
    for (uint32_t i = 0; i < node.AttributeCount(); ++i) {
      const wchar_t* key = node.AttributeName(i);
      const wchar_t* text = node.AttributeValue(i);
      if (SameName(key, L"name")) {
        name = text;
        hasName = true;
      } else if (SameName(key, L"value")) {
        value = text;
        hasValue = true;
      } else if (SameName(key, L"id")) {
        id = DecimalValue(text);
      } else if (SameName(key, L"size")) {
        size = DecimalValue(text);
      } else if (SameName(key, L"restype")) {
        restype = text;
      } else if (SameName(key, L"mask")) {
        mask = HexValue(text);
      } else if (SameName(key, L"bold")) {
        bold = IsTrue(text);
      } else if (SameName(key, L"underline")) {
        underline = IsTrue(text);
      } else if (SameName(key, L"italic")) {
        italic = IsTrue(text);
      } else if (SameName(key, L"default")) {
        isDefault = IsTrue(text);
      } else if (SameName(key, L"shared")) {
        shared = IsTrue(text);
      }
    }
    if (SameName(element, L"Image")) {
      if (hasName) manager->AddImage(name, restype, mask, false, shared);
    } else if (SameName(element, L"Font")) {
      if (id >= 0 && hasName) {
        manager->AddFont(id, name, size, bold, underline, italic, shared);
        if (isDefault) manager->SetDefaultFont(name, size, bold, underline, italic, shared);
      }
    } else if (SameName(element, L"Default")) {
      if (hasName) manager->AddDefaultAttributes(name, value, shared);
    } else if (id >= 0 && hasValue) {
      CUIManager::AddLanguageText(id, value);
    }
  }
}

CControlUI* CLayoutBuilder::CreateControl(const wchar_t* name) {
  CControlUI* control = CreateControlByElementName(name);
  if (control == nullptr && callback_ != nullptr) control = callback_->CreateCustomControl(name);
  return control;
}

void CLayoutBuilder::ApplyAttributes(CControlUI* control, CSkinXmlNode& element,
                                     CUIManager* manager, const wchar_t* defaultsName) {
  // Setters reach fonts, images and the window through the manager, so the control is
  // attached while its attributes are applied. Afterwards it goes back to where it was:
  // detached while the tree is still being built (the real attachment, with
  // initialisation and names, comes when the tree is handed to the manager), but still
  // attached when it was added to a parent that already lives in a window.
  CUIManager* previousManager = control->Manager();
  CControlUI* previousParent = control->Parent();
  if (manager != nullptr) {
    control->AttachManager(manager, nullptr, false);
    std::wstring defaults = manager->GetDefaultAttributes(defaultsName);
    if (!defaults.empty()) control->ApplyAttributeString(defaults);
  }
  for (uint32_t i = 0; i < element.AttributeCount(); ++i) {
    control->ApplyAttribute(element.AttributeName(i), element.AttributeValue(i));
  }
  if (manager == nullptr) return;
  // A "name" attribute registers the control with the manager it is attached to. A
  // control that is not in the window's tree yet must not stay in its name map: it may
  // be destroyed before the tree is attached, and attaching registers it again anyway.
  if (previousManager != manager) manager->ForgetControl(control);
  control->AttachManager(previousManager, previousParent, false);
}

void CLayoutBuilder::BuildInclude(CSkinXmlNode element, CControlUI* parent,
                                  CUIManager* manager) {
  if (!element.HasAttributes()) return;
  wchar_t count[500] = L"1";
  wchar_t source[500] = {};
  element.FindAttribute(L"count", count, 499);
  if (!element.FindAttribute(L"source", source, 499)) return;
  int times = DecimalValue(count);
  for (int i = 0; i < times; ++i) {
    CLayoutBuilder included;
    CControlUI* built = nullptr;
    if (fromResource_) {
      built = included.Build(MAKEINTRESOURCEW(DecimalValue(source)), resourceType_, callback_,
                             manager, parent);
    } else {
      built = included.Build(source, nullptr, callback_, manager, parent);
    }
    // Without a parent nobody would own what the include built.
    if (parent == nullptr) Discard(built);
  }
}

void CLayoutBuilder::BuildTreeNode(CSkinXmlNode element, CControlUI* parent,
                                   CUIManager* manager) {
  auto* node = new CTreeNodeUI();
  ApplyAttributes(node, element, manager, L"TreeNode");
  if (element.HasChildren()) BuildChildren(element, node, manager);
  // Nodes go into the enclosing node or tree view, which is the element's parent.
  auto* container =
      parent != nullptr ? static_cast<IContainerUI*>(parent->FindInterface(L"IContainer")) : nullptr;
  if (container == nullptr || !container->Add(node)) Discard(node);
}

CControlUI* CLayoutBuilder::BuildChildren(CSkinXmlNode element, CControlUI* parent,
                                          CUIManager* manager) {
  CControlUI* first = nullptr;
  for (CSkinXmlNode node = element.FirstChild(); node.IsValid(); node = node.NextSibling()) {
    const wchar_t* name = node.Name();
    if (IsDeclaration(name)) continue;
    if (SameName(name, L"Include")) {
      BuildInclude(node, parent, manager);
      continue;
    }
    if (SameName(name, L"TreeNode")) {
      BuildTreeNode(node, parent, manager);
      continue;
    }
    CControlUI* control = CreateControl(name);
    if (control == nullptr) continue;
    if (node.HasChildren()) BuildChildren(node, control, manager);

    if (parent != nullptr) {
      wchar_t cover[9] = {};
      bool isCover = node.FindAttribute(L"cover", cover, 8) && std::wcscmp(cover, L"true") == 0;
      if (isCover) {
        parent->SetCover(control);
      } else {
        auto* container = static_cast<IContainerUI*>(parent->FindInterface(L"IContainer"));
        if (container == nullptr) {
          Discard(control);
          return nullptr;
        }
        if (!container->Add(control)) {
          Discard(control);
          continue;
        }
      }
    }
    // The default list is the one registered for the element name exactly as written.
    ApplyAttributes(control, node, manager, name);
    if (first == nullptr) {
      first = control;
    } else if (parent == nullptr) {
      // Only the first control of a parentless level is handed back; the others
      // would have no owner at all.
      Discard(control);
    }
  }
  return first;
}

}  // namespace SkinUI
