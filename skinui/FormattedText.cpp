#include "skinui/FormattedText.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>

#include "skinui/AttributeValue.h"
#include "skinui/RenderColor.h"
#include "skinui/UIManager.h"
#include "skinui/UIRender.h"
#include "utils/ScopedHandle.h"

namespace SkinUI {

namespace {

const wchar_t kKnownTags[] = L"abcfinprsuvxy";
const wchar_t kEllipsis[] = L"...";

bool IsKnownTag(wchar_t c) { return c != 0 && wcschr(kKnownTags, c) != nullptr; }

// What the text between tags is drawn with.
struct Style {
  HFONT font = nullptr;
  DWORD color = 0;
  int link = -1;  // index of the link the text belongs to
  bool selected = false;
};

struct Piece {
  std::wstring text;
  const UIImageInfo* image = nullptr;  // an image piece instead of text
  RECT source = {};
  Style style;
  int x = 0;  // from the start of the line
  int width = 0;
  int height = 0;
  int ascent = 0;
};

struct Line {
  std::vector<Piece> pieces;
  int width = 0;
  int height = 0;
  int ascent = 0;
  int gapAfter = 0;
};

struct ImageReference {
  std::wstring name;
  std::wstring type;
  int cells = 1;
  int index = 0;
};

// "name [cells [index]]", or "file='name'" / "res='name' restype='type'" followed by the
// same optional numbers.
ImageReference ParseImageReference(const std::wstring& argument) {
  ImageReference result;
  std::wstring rest = argument;
  auto quoted = [&argument](const wchar_t* key, size_t* end) -> std::wstring {
    size_t start = argument.find(key);
    if (start == std::wstring::npos) return std::wstring();
    start += wcslen(key);
    size_t close = argument.find(L'\'', start);
    if (close == std::wstring::npos) return std::wstring();
    *end = std::max(*end, close + 1);
    return argument.substr(start, close - start);
  };
  size_t end = 0;
  std::wstring file = quoted(L"file='", &end);
  std::wstring resource = quoted(L"res='", &end);
  if (!file.empty() || !resource.empty()) {
    result.name = !file.empty() ? file : resource;
    if (file.empty()) result.type = quoted(L"restype='", &end);
    rest = argument.substr(end);
  } else {
    size_t blank = argument.find(L' ');
    result.name = argument.substr(0, blank);
    rest = blank == std::wstring::npos ? std::wstring() : argument.substr(blank);
  }
  int numbers[2] = {1, 0};
  const wchar_t* cursor = rest.c_str();
  for (int& number : numbers) {
    wchar_t* after = nullptr;
    long value = wcstol(cursor, &after, 10);
    if (after == cursor) break;
    number = static_cast<int>(value);
    cursor = after;
  }
  result.cells = std::max(numbers[0], 1);
  result.index = std::clamp(numbers[1], 0, result.cells - 1);
  return result;
}

class Layout {
 public:
  Layout(HDC dc, CUIManager* manager, DWORD color, UINT format, int maxWidth)
      : dc_(dc), manager_(manager), format_(format), maxWidth_(maxWidth) {
    wrap_ = (format & DT_SINGLELINE) == 0 && maxWidth > 0;
    Style base;
    base.font = manager != nullptr ? manager->GetFont(-1) : nullptr;
    if (base.font == nullptr) base.font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    base.color = color;
    styles_.push_back(base);
  }

  void Run(const std::vector<FormattedToken>& tokens) {
    for (const FormattedToken& token : tokens) {
      switch (token.kind) {
        case FormattedToken::Kind::Text: AddText(token.argument); break;
        case FormattedToken::Kind::Open: Open(token.tag, token.argument); break;
        case FormattedToken::Kind::Close: Close(token.tag); break;
      }
    }
    FinishLine();
  }

  const std::vector<Line>& lines() const { return lines_; }
  const std::vector<std::wstring>& linkTexts() const { return linkTexts_; }
  bool centredVertically() const { return centreVertically_; }

 private:
  struct Metrics {
    int height = 0;
    int ascent = 0;
  };

  const Style& style() const { return styles_.back(); }

  Metrics MetricsOf(HFONT font) {
    auto found = metrics_.find(font);
    if (found != metrics_.end()) return found->second;
    Utils::ScopedSelectObject selected(dc_, font);
    TEXTMETRICW text = {};
    ::GetTextMetricsW(dc_, &text);
    Metrics result{static_cast<int>(text.tmHeight), static_cast<int>(text.tmAscent)};
    metrics_[font] = result;
    return result;
  }

  HFONT Derive(HFONT base, void (*change)(LOGFONTW&, const std::wstring&),
               const std::wstring& argument) {
    LOGFONTW font = {};
    if (::GetObjectW(base, sizeof(font), &font) == 0) return base;
    change(font, argument);
    HFONT created = ::CreateFontIndirectW(&font);
    if (created == nullptr) return base;
    fonts_.emplace_back(created);
    return created;
  }

  // "<f 2>" takes the window's font 2; "<f Tahoma 12 bold underline italic>" makes one.
  HFONT FontFor(const std::wstring& argument) {
    if (!argument.empty() && iswdigit(argument[0]) && manager_ != nullptr)
      return manager_->GetFont(ParseInteger(argument));
    return Derive(style().font, [](LOGFONTW& font, const std::wstring& words) {
      std::wstring face;
      size_t pos = 0;
      while (pos < words.size()) {
        size_t end = words.find(L' ', pos);
        std::wstring word = words.substr(pos, end == std::wstring::npos ? end : end - pos);
        pos = end == std::wstring::npos ? words.size() : end + 1;
        if (word.empty()) continue;
        if (iswdigit(word[0])) {
          font.lfHeight = -ParseInteger(word);
        } else if (word == L"bold") {
          font.lfWeight = FW_BOLD;
        } else if (word == L"underline") {
          font.lfUnderline = TRUE;
        } else if (word == L"italic") {
          font.lfItalic = TRUE;
        } else {
          face += (face.empty() ? L"" : L" ") + word;
        }
      }
      if (!face.empty()) {
        size_t copied = face.copy(font.lfFaceName, LF_FACESIZE - 1);
        font.lfFaceName[copied] = L'\0';
      }
    }, argument);
  }

  void Open(wchar_t tag, const std::wstring& argument) {
    Style next = style();
    switch (tag) {
      case L'a':
        next.link = static_cast<int>(linkTexts_.size());
        linkTexts_.push_back(argument);
        if (manager_ != nullptr) next.color = manager_->DefaultLinkFontColor();
        break;
      case L'b':
        next.font = Derive(next.font, [](LOGFONTW& font, const std::wstring&) {
          font.lfWeight = FW_BOLD;
        }, argument);
        break;
      case L'u':
        next.font = Derive(next.font, [](LOGFONTW& font, const std::wstring&) {
          font.lfUnderline = TRUE;
        }, argument);
        break;
      case L'c': next.color = ParseColor(argument); break;
      case L'f': next.font = FontFor(argument); break;
      case L's': next.selected = true; break;
      case L'i': AddImage(ParseImageReference(argument)); return;
      case L'n': NewLine(0); return;
      case L'p': NewLine(MetricsOf(style().font).height / 2); return;
      case L'v': centreVertically_ = true; return;
      case L'x': x_ += ParseInteger(argument); return;
      case L'y': fixedLineHeight_ = std::max(ParseInteger(argument), 0); return;
      default: return;
    }
    styles_.push_back(next);
  }

  void Close(wchar_t tag) {
    if (tag == L'y') {
      fixedLineHeight_ = 0;
      return;
    }
    if (wcschr(L"abcfsu", tag) != nullptr && styles_.size() > 1) styles_.pop_back();
  }

  void AddText(const std::wstring& text) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find(L'\n', start);
      std::wstring segment = text.substr(start, end == std::wstring::npos ? end : end - start);
      segment.erase(std::remove(segment.begin(), segment.end(), L'\r'), segment.end());
      AddSegment(segment);
      if (end == std::wstring::npos) break;
      if ((format_ & DT_SINGLELINE) == 0) NewLine(0);
      start = end + 1;
    }
  }

  int Measure(const std::wstring& text) {
    Utils::ScopedSelectObject selected(dc_, style().font);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

  // How many leading characters fit into room pixels.
  int Fit(const std::wstring& text, int room) {
    Utils::ScopedSelectObject selected(dc_, style().font);
    int fit = 0;
    SIZE size = {};
    ::GetTextExtentExPointW(dc_, text.c_str(), static_cast<int>(text.size()), std::max(room, 0),
                            &fit, nullptr, &size);
    return std::clamp(fit, 0, static_cast<int>(text.size()));
  }

  void AddSegment(std::wstring text) {
    while (!text.empty() && !lineFull_) {
      int room = maxWidth_ - x_;
      int width = Measure(text);
      if (maxWidth_ <= 0 || width <= room) {
        Append(text, width);
        return;
      }
      if (!wrap_) {
        if ((format_ & DT_END_ELLIPSIS) != 0) {
          int fit = Fit(text, room - Measure(kEllipsis));
          std::wstring shown = text.substr(0, fit) + kEllipsis;
          Append(shown, Measure(shown));
          lineFull_ = true;
        } else {
          Append(text, width);
        }
        return;
      }
      size_t fit = static_cast<size_t>(Fit(text, room));
      size_t blank = text.rfind(L' ', fit);
      if (blank != std::wstring::npos) {
        std::wstring head = text.substr(0, blank);
        if (!head.empty()) Append(head, Measure(head));
        text.erase(0, blank + 1);
      } else if (x_ > 0) {
        // The word starts the next line rather than being split.
      } else {
        size_t cut = std::max<size_t>(fit, 1);
        std::wstring head = text.substr(0, cut);
        Append(head, Measure(head));
        text.erase(0, cut);
      }
      NewLine(0);
    }
  }

  void Append(const std::wstring& text, int width) {
    Piece piece;
    piece.text = text;
    piece.style = style();
    Metrics metrics = MetricsOf(style().font);
    Place(piece, width, metrics.height, metrics.ascent);
  }

  void AddImage(const ImageReference& reference) {
    if (manager_ == nullptr || reference.name.empty()) return;
    const UIImageInfo* image = manager_->GetImage(reference.name, reference.type);
    if (image == nullptr || image->bitmap == nullptr) return;
    int cellWidth = image->width / reference.cells;
    if (cellWidth <= 0) return;
    if (wrap_ && x_ > 0 && x_ + cellWidth > maxWidth_) NewLine(0);
    Piece piece;
    piece.image = image;
    piece.source = RECT{reference.index * cellWidth, 0, (reference.index + 1) * cellWidth,
                        image->height};
    piece.style = style();
    Place(piece, cellWidth, image->height, image->height);
  }

  void Place(Piece& piece, int width, int height, int ascent) {
    piece.x = x_;
    piece.width = width;
    piece.height = height;
    piece.ascent = ascent;
    x_ += width;
    line_.width = std::max(line_.width, x_);
    line_.ascent = std::max(line_.ascent, ascent);
    line_.height = std::max(line_.height, line_.ascent + (height - ascent));
    line_.pieces.push_back(std::move(piece));
  }

  void NewLine(int gapAfter) {
    line_.gapAfter = gapAfter;
    FinishLine();
    lineFull_ = false;
  }

  void FinishLine() {
    if (line_.height == 0) {
      Metrics metrics = MetricsOf(style().font);
      line_.height = metrics.height;
      line_.ascent = metrics.ascent;
    }
    if (fixedLineHeight_ > 0) line_.height = fixedLineHeight_;
    lines_.push_back(std::move(line_));
    line_ = Line();
    x_ = 0;
  }

  HDC dc_;
  CUIManager* manager_;
  UINT format_;
  int maxWidth_;
  bool wrap_ = true;
  bool lineFull_ = false;
  bool centreVertically_ = false;
  int x_ = 0;
  int fixedLineHeight_ = 0;
  std::vector<Style> styles_;
  std::vector<Line> lines_;
  Line line_;
  std::vector<std::wstring> linkTexts_;
  // Fonts made for the text; they live until it has been drawn.
  std::vector<Utils::ScopedFont> fonts_;
  std::map<HFONT, Metrics> metrics_;
};

}  // namespace

std::vector<FormattedToken> TokenizeFormattedText(const std::wstring& text) {
  std::vector<FormattedToken> tokens;
  std::wstring plain;
  auto flush = [&tokens, &plain]() {
    if (plain.empty()) return;
    FormattedToken token;
    token.argument = plain;
    tokens.push_back(std::move(token));
    plain.clear();
  };
  size_t pos = 0;
  while (pos < text.size()) {
    wchar_t c = text[pos];
    size_t end = std::wstring::npos;
    if (c == L'<' || c == L'{') end = text.find(c == L'<' ? L'>' : L'}', pos + 1);
    if (end != std::wstring::npos) {
      std::wstring body = text.substr(pos + 1, end - pos - 1);
      bool closing = !body.empty() && body[0] == L'/';
      if (closing) body.erase(0, 1);
      if (!body.empty() && IsKnownTag(body[0]) && (body.size() == 1 || body[1] == L' ')) {
        flush();
        FormattedToken token;
        token.kind = closing ? FormattedToken::Kind::Close : FormattedToken::Kind::Open;
        token.tag = body[0];
        if (!closing && body.size() > 2) token.argument = body.substr(2);
        pos = end + 1;
        if (!closing && token.tag == L'r') {
          size_t angle = text.find(L"</r>", pos);
          size_t brace = text.find(L"{/r}", pos);
          size_t rawEnd = std::min(angle, brace);
          plain = text.substr(pos, rawEnd == std::wstring::npos ? rawEnd : rawEnd - pos);
          flush();
          pos = rawEnd == std::wstring::npos ? text.size() : rawEnd + 4;
          continue;
        }
        tokens.push_back(std::move(token));
        continue;
      }
    }
    plain += c;
    ++pos;
  }
  flush();
  return tokens;
}

void RenderFormattedText(HDC dc, CUIManager* manager, RECT& rect, const std::wstring& text,
                         DWORD color, RECT* links, std::wstring* linkTexts, int& linkCount,
                         UINT format) {
  int room = links != nullptr ? std::max(linkCount, 0) : 0;
  linkCount = 0;
  if (dc == nullptr || text.empty()) return;

  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  Layout layout(dc, manager, color, format, width);
  layout.Run(TokenizeFormattedText(text));

  int total = 0;
  int widest = 0;
  for (const Line& line : layout.lines()) {
    total += line.height + line.gapAfter;
    widest = std::max(widest, line.width);
  }
  bool measuring = (format & DT_CALCRECT) != 0;
  int top = rect.top;
  if (!measuring && total < height) {
    if (layout.centredVertically() || (format & DT_VCENTER) != 0) top += (height - total) / 2;
    else if ((format & DT_BOTTOM) != 0) top += height - total;
  }

  std::vector<RECT> linkRects(layout.linkTexts().size(), RECT{0, 0, 0, 0});
  int oldMode = ::SetBkMode(dc, TRANSPARENT);
  COLORREF oldColor = ::GetTextColor(dc);
  HGDIOBJ oldFont = ::GetCurrentObject(dc, OBJ_FONT);
  int y = top;
  for (const Line& line : layout.lines()) {
    int left = rect.left;
    if ((format & DT_CENTER) != 0) left += (width - line.width) / 2;
    else if ((format & DT_RIGHT) != 0) left += width - line.width;
    for (const Piece& piece : line.pieces) {
      int pieceTop = y + line.ascent - piece.ascent;
      RECT area = {left + piece.x, pieceTop, left + piece.x + piece.width, pieceTop + piece.height};
      if (piece.style.link >= 0) {
        RECT& linkRect = linkRects[piece.style.link];
        if (::IsRectEmpty(&linkRect)) linkRect = area;
        else ::UnionRect(&linkRect, &linkRect, &area);
      }
      if (measuring) continue;
      if (piece.style.selected && manager != nullptr) {
        RECT visible;
        if (::IntersectRect(&visible, &area, &rect))
          CUIRender::DrawColor(dc, visible, manager->DefaultSelectedBkColor());
      }
      if (piece.image != nullptr) {
        CUIRender::DrawImage(dc, piece.image->bitmap, area, rect, piece.source, RECT{0, 0, 0, 0},
                             piece.image->alpha);
      } else {
        ::SelectObject(dc, piece.style.font);
        ::SetTextColor(dc, ToColorRef(piece.style.color));
        ::ExtTextOutW(dc, area.left, area.top, ETO_CLIPPED, &rect, piece.text.c_str(),
                      static_cast<UINT>(piece.text.size()), nullptr);
      }
    }
    y += line.height + line.gapAfter;
  }
  ::SelectObject(dc, oldFont);
  ::SetTextColor(dc, oldColor);
  ::SetBkMode(dc, oldMode);

  if (measuring) {
    rect.right = rect.left + widest;
    rect.bottom = rect.top + total;
  }
  int filled = std::min(room, static_cast<int>(linkRects.size()));
  for (int i = 0; i < filled; ++i) {
    links[i] = linkRects[i];
    if (linkTexts != nullptr) linkTexts[i] = layout.linkTexts()[i];
  }
  linkCount = filled;
}

}  // namespace SkinUI
