// Turns a skin description into a control tree: registers what the description declares
// (fonts, images, default attribute lists, language texts) with the window's manager,
// passes the root element's attributes on as window attributes, and creates one control
// per element through the class-name factory or the window's own callback.
#pragma once

#include <windows.h>

#include <string>

#include "skinui/SkinXml.h"

namespace SkinUI {

class CControlUI;
class CUIManager;

// Creates controls for element names the factory does not know; null when it does not
// know them either (the element and its subtree are then skipped).
class IDialogBuilderCallback {
 public:
  virtual CControlUI* CreateCustomControl(const wchar_t* className) = 0;

 protected:
  ~IDialogBuilderCallback() = default;
};

class CLayoutBuilder {
 public:
  CLayoutBuilder() = default;
  CLayoutBuilder(const CLayoutBuilder&) = delete;
  CLayoutBuilder& operator=(const CLayoutBuilder&) = delete;

  // source is a resource id (MAKEINTRESOURCE, found with resourceType in the manager's
  // resource module), a description text starting with "<", or a skin file name.
  // Returns the root control, or null when nothing could be loaded or built. The caller
  // owns the root when no parent was given.
  CControlUI* Build(LPCWSTR source, LPCWSTR resourceType, IDialogBuilderCallback* callback,
                    CUIManager* manager, CControlUI* parent = nullptr);
  // Builds from the document already loaded (Document().Load...).
  CControlUI* BuildLoaded(IDialogBuilderCallback* callback, CUIManager* manager,
                          CControlUI* parent = nullptr);

  CSkinXml& Document() { return document_; }

 private:
  void RegisterDeclarations(CSkinXmlNode root, CUIManager* manager);
  CControlUI* BuildChildren(CSkinXmlNode element, CControlUI* parent, CUIManager* manager);
  void BuildInclude(CSkinXmlNode element, CControlUI* parent, CUIManager* manager);
  void BuildTreeNode(CSkinXmlNode element, CControlUI* parent, CUIManager* manager);
  CControlUI* CreateControl(const wchar_t* name);
  void ApplyAttributes(CControlUI* control, CSkinXmlNode& element, CUIManager* manager,
                       const wchar_t* defaultsName);

  CSkinXml document_;
  IDialogBuilderCallback* callback_ = nullptr;
  // Set when the description came from a resource: includes then name resources of
  // the same type.
  bool fromResource_ = false;
  LPCWSTR resourceType_ = nullptr;
  std::wstring resourceTypeName_;
};

}  // namespace SkinUI
