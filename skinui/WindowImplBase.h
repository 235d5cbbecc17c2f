// The skinned top-level window: borderless, its content built from a skin description
// by the layout builder, painted and driven by its own CUIManager. It hit-tests its
// caption and resize borders itself, keeps its rounded region and maps the standard
// system buttons ("closebtn", "minbtn", "maxbtn", "restorebtn") to window commands.
// Derived windows override the hooks; a hook that does not handle a message clears
// handled so the message goes on to the manager and the previous procedure.
#pragma once

#include <windows.h>

#include <string>

#include "skinui/LayoutBuilder.h"
#include "skinui/NotifyPump.h"
#include "skinui/UIManager.h"
#include "skinui/WindowWnd.h"

namespace SkinUI {

// Where a window's skin description comes from.
enum UIResourceKind {
  ResourceKindFile = 1,             // a file in the skin folder
  ResourceKindArchive = 2,          // an archive file in the skin folder
  ResourceKindResource = 3,         // a resource of type "xml", id = SkinFile as a number
  ResourceKindArchiveResource = 4,  // an archive held in a resource of type "ZIPRES"
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
 public:
  WindowImplBase() = default;

  CUIManager& Manager() { return manager_; }

 protected:
  UINT ClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnWindowGone(HWND window) override;

 public:
  ~WindowImplBase() override;

 protected:
  virtual void OnInitWindow() {}
  virtual void OnClick(UINotification& notification);
  virtual std::wstring SkinFolder() = 0;
  // The skin file name, or for ResourceKindResource the decimal resource id.
  virtual std::wstring SkinFile() = 0;
  virtual bool OnDefaultKey(WPARAM key);
  virtual UINT ResourceKind() const { return ResourceKindFile; }
  virtual std::wstring ArchiveFileName() const { return std::wstring(); }
  // The "ZIPRES" resource holding the archive: a decimal id or a resource name.
  virtual std::wstring ResourceId() const { return std::wstring(); }
  virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT HandleExtraMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LONG WindowStyle() const;

 public:
  // INotifyUI: routes through the handler tables.
  void Notify(UINotification& notification) override;
  // IMessageFilterUI (registered before dispatch): Enter and Escape go to OnDefaultKey.
  LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  CControlUI* CreateCustomControl(const wchar_t* className) override;
  const NotifyMapTable* NotifyMap() const override;

 protected:
  CUIManager manager_;

 private:
  // The archive bytes of a kind 4 skin; null when the resource cannot be had.
  static const BYTE* ArchiveResourceCopy(const std::wstring& id, DWORD& size);
};

}  // namespace SkinUI
