// The manager's resource stores: fonts, images and default attribute lists of one window,
// and the stores every window of the process shares.
#include <cwchar>

#include "skinui/UIManager.h"
#include "skinui/UIRender.h"

namespace SkinUI {

namespace {

// Stores shared by every window of the process (resources added with "shared", or while
// a manager forces sharing).
struct SharedStores {
  std::unique_ptr<UIFontInfo> defaultFont;
  std::map<std::wstring, std::unique_ptr<UIFontInfo>> fonts;
  std::map<std::wstring, std::unique_ptr<UIImageInfo, void (*)(UIImageInfo*)>> images;
  std::map<std::wstring, std::wstring> defaultAttributes;
};

SharedStores& Shared() {
  static SharedStores stores;
  return stores;
}

void FreeSharedImage(UIImageInfo* image) { CUIRender::FreeImage(image, true); }

std::unique_ptr<UIFontInfo> CreateFontInfo(const std::wstring& face, int size, bool bold,
                                           bool underline, bool italic) {
  LOGFONTW description = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
  description.lfCharSet = DEFAULT_CHARSET;
  if (!face.empty()) {
    std::wstring copy = face.substr(0, LF_FACESIZE - 1);
    std::wmemset(description.lfFaceName, 0, LF_FACESIZE);
    std::wmemcpy(description.lfFaceName, copy.c_str(), copy.size());
  }
  if (size != 0) description.lfHeight = -size;
  if (bold) description.lfWeight += FW_BOLD;
  if (underline) description.lfUnderline = TRUE;
  if (italic) description.lfItalic = TRUE;
  HFONT font = ::CreateFontIndirectW(&description);
  if (font == nullptr) return nullptr;
  auto info = std::make_unique<UIFontInfo>();
  info->font.reset(font);
  info->faceName = description.lfFaceName;
  info->size = size != 0 ? size : -description.lfHeight;
  info->bold = bold;
  info->underline = underline;
  info->italic = italic;
  return info;
}

// Text metrics need a DC; any screen DC measures a font the same way.
void MeasureFont(UIFontInfo& info) {
  if (info.measured || !info.font) return;
  HDC dc = ::GetDC(nullptr);
  if (dc == nullptr) return;
  HGDIOBJ old = ::SelectObject(dc, info.font.get());
  info.measured = ::GetTextMetricsW(dc, &info.metrics) != FALSE;
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
}

UIFontInfo* SharedDefaultFont() {
  SharedStores& shared = Shared();
  if (!shared.defaultFont) shared.defaultFont = CreateFontInfo(L"", 0, false, false, false);
  return shared.defaultFont.get();
}

}  // namespace

void CUIManager::ImageDeleter::operator()(UIImageInfo* image) const {
  CUIRender::FreeImage(image, true);
}

HFONT CUIManager::AddFont(int index, const std::wstring& face, int size, bool bold,
                          bool underline, bool italic, bool shared) {
  std::unique_ptr<UIFontInfo> info = CreateFontInfo(face, size, bold, underline, italic);
  if (!info) return nullptr;
  HFONT font = info->font.get();
  auto& store = (shared || forceShared_) ? Shared().fonts : fonts_;
  store[std::to_wstring(index)] = std::move(info);
  return font;
}

HFONT CUIManager::SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline,
                                 bool italic, bool shared) {
  std::unique_ptr<UIFontInfo> info = CreateFontInfo(face, size, bold, underline, italic);
  if (!info) return nullptr;
  MeasureFont(*info);
  HFONT font = info->font.get();
  if (shared || forceShared_) Shared().defaultFont = std::move(info);
  else defaultFont_ = std::move(info);
  return font;
}

UIFontInfo* CUIManager::GetFontInfo(int index) {
  std::wstring key = std::to_wstring(index);
  UIFontInfo* info = nullptr;
  auto own = fonts_.find(key);
  if (own != fonts_.end()) {
    info = own->second.get();
  } else {
    auto& sharedFonts = Shared().fonts;
    auto shared = sharedFonts.find(key);
    info = shared != sharedFonts.end() ? shared->second.get() : DefaultFontInfo();
  }
  if (info != nullptr) MeasureFont(*info);
  return info;
}

HFONT CUIManager::GetFont(int index) {
  UIFontInfo* info = GetFontInfo(index);
  return info != nullptr ? info->font.get() : nullptr;
}

UIFontInfo* CUIManager::DefaultFontInfo() {
  UIFontInfo* info = defaultFont_ ? defaultFont_.get() : SharedDefaultFont();
  if (info != nullptr) MeasureFont(*info);
  return info;
}

const UIImageInfo* CUIManager::AddImage(const std::wstring& name, const std::wstring& type,
                                        DWORD mask, bool keepForHsl, bool shared) {
  if (name.empty()) return nullptr;
  UIImageInfo* image = CUIRender::LoadImage(name, type, mask);
  if (image == nullptr) return nullptr;
  image->keepForHsl = keepForHsl;
  if (keepForHsl && image->bits != nullptr)
    image->pixelCopy.assign(image->bits, image->bits + image->width * image->height * 4);
  if (shared || forceShared_) {
    Shared().images.erase(name);
    Shared().images.emplace(name, std::unique_ptr<UIImageInfo, void (*)(UIImageInfo*)>(
                                      image, FreeSharedImage));
  } else {
    images_[name] = ImageHolder(image);
  }
  return image;
}

const UIImageInfo* CUIManager::GetImage(const std::wstring& name, const std::wstring& type,
                                        DWORD mask, bool keepForHsl) {
  auto own = images_.find(name);
  if (own != images_.end()) return own->second.get();
  auto& sharedImages = Shared().images;
  auto shared = sharedImages.find(name);
  if (shared != sharedImages.end()) return shared->second.get();
  return AddImage(name, type, mask, keepForHsl, false);
}

void CUIManager::AddDefaultAttributes(const std::wstring& className, const std::wstring& list,
                                      bool shared) {
  auto& store = (shared || forceShared_) ? Shared().defaultAttributes : defaultAttributes_;
  store[className] = list;
}

std::wstring CUIManager::GetDefaultAttributes(const std::wstring& className) const {
  auto own = defaultAttributes_.find(className);
  if (own != defaultAttributes_.end()) return own->second;
  auto& sharedAttributes = Shared().defaultAttributes;
  auto shared = sharedAttributes.find(className);
  return shared != sharedAttributes.end() ? shared->second : std::wstring();
}

}  // namespace SkinUI
