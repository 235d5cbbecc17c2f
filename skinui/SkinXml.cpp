#include "skinui/SkinXml.h"

#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

#include "skinui/SkinFileReader.h"
#include "utils/TextConvert.h"

namespace SkinUI {

namespace {

const wchar_t kEmpty[] = L"";

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// One character on, a surrogate pair as one; never past the terminating NUL.
wchar_t* Next(wchar_t* p) {
  if (*p == 0) return p;
  if (IsHighSurrogate(p[0]) && IsLowSurrogate(p[1])) return p + 2;
  return p + 1;
}

// Every code unit up to 32 is a blank; the NUL that ends the text is not skipped.
void SkipWhitespace(wchar_t*& p) {
  while (*p != 0 && *p <= L' ') p = Next(p);
}

void SkipIdentifier(wchar_t*& p) {
  while (*p != 0 && (std::iswalnum(*p) || *p == L'_' || *p == L':')) p = Next(p);
}

struct Entity {
  const wchar_t* name;  // including the closing semicolon
  size_t length;
  wchar_t value;
};

const Entity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'},
    {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

// Decodes character data or an attribute value in place, from p up to the terminator or
// the end of the text, and returns the write position (the end of the decoded text). The
// gap that decoding leaves is blanked so that attribute mapping meets only spaces there.
wchar_t* DecodeInPlace(wchar_t*& p, wchar_t terminator) {
  wchar_t* write = p;
  while (*p != 0 && *p != terminator) {
    while (*p == L'&') {
      ++p;
      wchar_t value = L'&';
      for (const Entity& entity : kEntities) {
        if (std::wcsncmp(p, entity.name, entity.length) == 0) {
          value = entity.value;
          p += entity.length;
          break;
        }
      }
      *write++ = value;
      if (*p == terminator) break;
    }
    // A reference at the very end of the text leaves nothing more to copy.
    if (*p == terminator || *p == 0) break;
    wchar_t* next = Next(p);
    while (p < next) *write++ = *p++;
  }
  for (wchar_t* blank = write + 1; blank < p; ++blank) *blank = L' ';
  return write;
}

}  // namespace

// ---- CSkinXmlNode ----

const wchar_t* CSkinXmlNode::Name() const {
  if (owner_ == nullptr) return nullptr;
  return owner_->text_.get() + owner_->elements_[position_].start;
}

CSkinXmlNode CSkinXmlNode::FirstChild() const {
  if (owner_ == nullptr) return CSkinXmlNode();
  uint32_t child = owner_->elements_[position_].firstChild;
  return child == 0 ? CSkinXmlNode() : CSkinXmlNode(owner_, child);
}

CSkinXmlNode CSkinXmlNode::NextSibling() const {
  if (owner_ == nullptr) return CSkinXmlNode();
  uint32_t sibling = owner_->elements_[position_].nextSibling;
  return sibling == 0 ? CSkinXmlNode() : CSkinXmlNode(owner_, sibling);
}

bool CSkinXmlNode::HasChildren() const {
  return owner_ != nullptr && owner_->elements_[position_].firstChild != 0;
}

bool CSkinXmlNode::HasAttributes() { return AttributeCount() > 0; }

uint32_t CSkinXmlNode::AttributeCount() {
  if (owner_ == nullptr) return 0;
  if (attributeCount_ == 0) MapAttributes();
  return attributeCount_;
}

const wchar_t* CSkinXmlNode::AttributeName(uint32_t index) {
  if (owner_ == nullptr) return nullptr;
  if (index >= AttributeCount()) return kEmpty;
  return owner_->text_.get() + attributes_[index * 2];
}

const wchar_t* CSkinXmlNode::AttributeValue(uint32_t index) {
  if (owner_ == nullptr) return nullptr;
  if (index >= AttributeCount()) return kEmpty;
  return owner_->text_.get() + attributes_[index * 2 + 1];
}

bool CSkinXmlNode::FindAttribute(const wchar_t* name, wchar_t* buffer, size_t capacity) {
  if (owner_ == nullptr || name == nullptr || buffer == nullptr) return false;
  uint32_t count = AttributeCount();
  const wchar_t* text = owner_->text_.get();
  for (uint32_t i = 0; i < count; ++i) {
    if (std::wcscmp(text + attributes_[i * 2], name) != 0) continue;
    std::wcsncpy(buffer, text + attributes_[i * 2 + 1], capacity);
    return true;
  }
  return false;
}

void CSkinXmlNode::MapAttributes() {
  wchar_t* text = owner_->text_.get();
  const XmlElement& element = owner_->elements_[position_];
  wchar_t* p = text + element.start;
  p += std::wcslen(p) + 1;
  wchar_t* const end = text + element.data;
  // Every step stays before the element's data: past it lie the element's content and
  // children, never its attributes.
  while (p < end) {
    SkipWhitespace(p);
    if (p >= end) break;
    uint32_t nameOffset = static_cast<uint32_t>(p - text);
    p += std::wcslen(p) + 1;
    if (p >= end) break;
    SkipWhitespace(p);
    if (p >= end || *p != L'"') break;
    ++p;
    attributes_[attributeCount_ * 2] = nameOffset;
    attributes_[attributeCount_ * 2 + 1] = static_cast<uint32_t>(p - text);
    if (++attributeCount_ == kMaxAttributes) break;
    p += std::wcslen(p) + 1;
  }
}

// ---- CSkinXml ----

struct CSkinXml::OpenElement {
  uint32_t index = 0;
  const wchar_t* name = nullptr;
  size_t nameLength = 0;
  wchar_t* dataEnd = nullptr;
};

CSkinXml::CSkinXml(const wchar_t* text) {
  if (text != nullptr) LoadText(text);
}

void CSkinXml::Clear() {
  text_.reset();
  elements_.clear();
  elements_.shrink_to_fit();
  elementCount_ = 0;
  elementCapacity_ = 0;
}

void CSkinXml::SetLoadError(const wchar_t* message) {
  std::wcsncpy(errorMessage_, message, 99);
  errorMessage_[99] = 0;
  errorLocation_[0] = 0;
}

bool CSkinXml::LoadText(const wchar_t* text) {
  Clear();
  if (text == nullptr) return false;
  size_t length = std::wcslen(text);
  text_.reset(new wchar_t[length + 1]);
  std::memcpy(text_.get(), text, (length + 1) * sizeof(wchar_t));
  if (Parse()) return true;
  Clear();
  return false;
}

bool CSkinXml::LoadBytes(const BYTE* bytes, DWORD size, int encoding) {
  Clear();
  std::wstring decoded;
  if (encoding == XmlEncodingUtf16) {
    // Only text with a byte-order mark is taken; an odd last byte is dropped.
    if (bytes == nullptr || size < 2) return false;
    bool littleEndian = bytes[0] == 0xFF && bytes[1] == 0xFE;
    bool bigEndian = bytes[0] == 0xFE && bytes[1] == 0xFF;
    if (!littleEndian && !bigEndian) return false;
    size_t count = size / 2 - 1;
    decoded.resize(count);
    for (size_t i = 0; i < count; ++i) {
      BYTE first = bytes[2 + i * 2];
      BYTE second = bytes[3 + i * 2];
      decoded[i] = littleEndian ? static_cast<wchar_t>(first | (second << 8))
                                : static_cast<wchar_t>((first << 8) | second);
    }
  } else {
    const BYTE* start = bytes;
    DWORD length = bytes == nullptr ? 0 : size;
    UINT codePage = encoding == XmlEncodingAnsi ? CP_ACP : CP_UTF8;
    if (codePage == CP_UTF8 && length >= 3 && start[0] == 0xEF && start[1] == 0xBB &&
        start[2] == 0xBF) {
      start += 3;
      length -= 3;
    }
    decoded = Utils::MultiByteToWide(
        std::string_view(reinterpret_cast<const char*>(start), length), codePage);
  }
  text_.reset(new wchar_t[decoded.size() + 1]);
  std::memcpy(text_.get(), decoded.c_str(), (decoded.size() + 1) * sizeof(wchar_t));
  if (Parse()) return true;
  Clear();
  return false;
}

bool CSkinXml::LoadFile(const wchar_t* name, int encoding) {
  Clear();
  if (name == nullptr) {
    SetLoadError(L"Error opening file");
    return false;
  }
  std::vector<BYTE> bytes;
  switch (ReadSkinFile(name, &bytes)) {
    case SkinFileStatus::Ok: break;
    case SkinFileStatus::OpenFailed: SetLoadError(L"Error opening file"); return false;
    case SkinFileStatus::Empty: SetLoadError(L"File is empty"); return false;
    case SkinFileStatus::TooLarge: SetLoadError(L"File too large"); return false;
    case SkinFileStatus::ReadFailed: SetLoadError(L"Could not read file"); return false;
    case SkinFileStatus::ArchiveOpenFailed: SetLoadError(L"Error opening zip file"); return false;
    case SkinFileStatus::NotFound: SetLoadError(L"Could not find ziped file"); return false;
    case SkinFileStatus::ExtractFailed: SetLoadError(L"Could not unzip file"); return false;
  }
  return LoadBytes(bytes.data(), static_cast<DWORD>(bytes.size()), encoding);
}

CSkinXmlNode CSkinXml::Root() {
  if (elementCount_ < 2) return CSkinXmlNode();
  return CSkinXmlNode(this, 1);
}

uint32_t CSkinXml::ReserveElement() {
  if (elementCount_ == 0) elementCapacity_ = 0;
  if (elementCount_ >= elementCapacity_) {
    elementCapacity_ += elementCapacity_ / 2 + 500;
    elements_.resize(elementCapacity_);
  }
  elements_[elementCount_] = XmlElement{0, 0, 0, 0, 0};
  return elementCount_++;
}

bool CSkinXml::Fail(const wchar_t* message, const wchar_t* location) {
  std::wcsncpy(errorMessage_, message, 99);
  errorMessage_[99] = 0;
  std::wcsncpy(errorLocation_, location, 49);
  errorLocation_[49] = 0;
  return false;
}

bool CSkinXml::ParseAttributes(wchar_t*& p) {
  if (*p == L'>' || (p[0] == L'/' && p[1] == L'>')) return true;
  *p = 0;  // ends the element name
  ++p;
  SkipWhitespace(p);
  while (*p != 0 && *p != L'>' && *p != L'/') {
    SkipIdentifier(p);
    wchar_t* identifierEnd = p;
    SkipWhitespace(p);
    if (*p != L'=') return Fail(L"Error while parsing attributes", p);
    *p = L' ';
    *identifierEnd = 0;
    ++p;
    SkipWhitespace(p);
    if (*p != L'"') return Fail(L"Expected attribute value", p);
    ++p;
    wchar_t* sourceStart = p;
    wchar_t* valueEnd = DecodeInPlace(p, L'"');
    if (*p == 0) return Fail(L"Error while parsing attribute string", p);
    *valueEnd = 0;
    if (valueEnd - sourceStart < p - sourceStart) *p = L' ';
    ++p;
    SkipWhitespace(p);
  }
  return true;
}

// At "</" of the element: checks the end tag against the element's name and steps past it.
bool CSkinXml::CloseElement(wchar_t*& p, const OpenElement& element) {
  *element.dataEnd = 0;
  *p = 0;
  p += 2;
  SkipWhitespace(p);
  if (std::wcsncmp(p, element.name, element.nameLength) != 0)
    return Fail(L"Unmatched closing tag", p);
  p += element.nameLength;
  SkipWhitespace(p);
  if (*p != L'>') return Fail(L"Unmatched closing tag", p);
  ++p;
  return true;
}

// One pass over the text. Nesting is kept on an explicit stack rather than the call
// stack, so a skin nested a million levels deep is parsed like any other, not a crash.
bool CSkinXml::Parse() {
  ReserveElement();
  errorMessage_[0] = 0;
  errorLocation_[0] = 0;

  struct Level {
    uint32_t parent;
    uint32_t previous;
    OpenElement owner;  // the element whose children this level holds
  };
  std::vector<Level> levels;
  levels.push_back(Level{0, 0, OpenElement()});
  wchar_t* text = text_.get();
  wchar_t* p = text;
  SkipWhitespace(p);

  for (;;) {
    Level& level = levels.back();
    bool levelEnds = false;
    if (*p == 0 && level.parent <= 1) {
      levelEnds = true;  // the top level and the root's children may be cut short
    } else {
      SkipWhitespace(p);
      if (*p != L'<') return Fail(L"Expected start tag", p);
      if (p[1] == L'/') levelEnds = true;
    }

    if (!levelEnds) {
      *p = 0;
      ++p;
      SkipWhitespace(p);
      if (*p == L'!' || *p == L'?') {
        // Comments, declarations and processing instructions are skipped unread.
        wchar_t closing = *p == L'!' ? L'-' : L'?';
        while (*p != 0 && !(*p == closing && p[1] == L'>')) p = Next(p);
        if (*p != 0) p += 2;
        SkipWhitespace(p);
        continue;
      }
      SkipWhitespace(p);
      uint32_t index = ReserveElement();
      XmlElement& element = elements_[index];
      element.start = static_cast<uint32_t>(p - text);
      element.parent = level.parent;
      if (level.previous != 0) {
        elements_[level.previous].nextSibling = index;
      } else if (level.parent != 0) {
        elements_[level.parent].firstChild = index;
      }
      level.previous = index;

      OpenElement open;
      open.index = index;
      open.name = p;
      SkipIdentifier(p);
      wchar_t* nameEnd = p;
      open.nameLength = static_cast<size_t>(nameEnd - open.name);
      if (*p == 0) return Fail(L"Error parsing element name", p);
      if (!ParseAttributes(p)) return false;
      SkipWhitespace(p);
      if (p[0] == L'/' && p[1] == L'>') {
        elements_[index].data = static_cast<uint32_t>(p - text);
        *p = 0;
        p += 2;
        *nameEnd = 0;
        SkipWhitespace(p);
        continue;
      }
      if (*p != L'>') return Fail(L"Expected start-tag closing", p);
      ++p;
      elements_[index].data = static_cast<uint32_t>(p - text);
      // The name ends here already (its NUL replaces the '>' or a blank), so that an
      // element left open at the end of the text still has its own name.
      *nameEnd = 0;
      open.dataEnd = DecodeInPlace(p, L'<');
      if (*p == 0 && level.parent <= 1) {
        *open.dataEnd = 0;
        levelEnds = true;
      } else {
        if (*p != L'<') return Fail(L"Expected end-tag start", p);
        if (p[1] != L'/') {
          levels.push_back(Level{index, 0, open});
          SkipWhitespace(p);
          continue;
        }
        if (!CloseElement(p, open)) return false;
        SkipWhitespace(p);
        continue;
      }
    }

    // The current level is over: hand back to the element that holds it.
    Level finished = levels.back();
    levels.pop_back();
    if (levels.empty()) return true;
    if (p[0] == L'<' && p[1] == L'/') {
      if (!CloseElement(p, finished.owner)) return false;
    } else {
      *finished.owner.dataEnd = 0;
    }
    SkipWhitespace(p);
  }
}

}  // namespace SkinUI
