// Reader of skin descriptions: a small non-validating XML parser that works in place on
// one UTF-16 buffer. Names and values are cut out of the buffer with NULs and the tree is a
// flat array of records holding offsets, so a parse allocates nothing per element.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace SkinUI {

enum XmlEncoding {
  XmlEncodingUtf8 = 0,
  XmlEncodingUtf16 = 1,
  XmlEncodingAnsi = 2,
};

struct XmlElement {
  uint32_t start;        // offset of the element name
  uint32_t firstChild;   // record index, 0 for none
  uint32_t nextSibling;  // record index, 0 for none
  uint32_t parent;       // record index, 0 for a top-level element
  uint32_t data;         // offset of the character data after the start tag
};

class CSkinXml;

// Read access to one element. A value type: copies are cheap and independent; it stays
// valid only while its document stays loaded.
class CSkinXmlNode {
 public:
  static constexpr uint32_t kMaxAttributes = 64;

  CSkinXmlNode() = default;

  bool IsValid() const { return owner_ != nullptr; }
  const wchar_t* Name() const;
  CSkinXmlNode FirstChild() const;
  CSkinXmlNode NextSibling() const;
  bool HasChildren() const;

  // Attributes are mapped on the first query; at most kMaxAttributes are visible.
  bool HasAttributes();
  uint32_t AttributeCount();
  // The empty string for an index outside the mapped attributes.
  const wchar_t* AttributeName(uint32_t index);
  const wchar_t* AttributeValue(uint32_t index);
  // Copies at most capacity characters of the value of the first attribute named exactly
  // name; the copy ends in NUL only when the value is shorter than capacity, so callers
  // pass a zeroed buffer one character longer. The buffer is untouched when not found.
  bool FindAttribute(const wchar_t* name, wchar_t* buffer, size_t capacity);

 private:
  friend class CSkinXml;
  CSkinXmlNode(CSkinXml* owner, uint32_t position) : position_(position), owner_(owner) {}
  void MapAttributes();

  uint32_t position_ = 0;
  uint32_t attributeCount_ = 0;
  uint32_t attributes_[kMaxAttributes * 2] = {};  // (name offset, value offset) pairs
  CSkinXml* owner_ = nullptr;
};

class CSkinXml {
 public:
  explicit CSkinXml(const wchar_t* text = nullptr);
  CSkinXml(const CSkinXml&) = delete;
  CSkinXml& operator=(const CSkinXml&) = delete;

  bool LoadText(const wchar_t* text);
  // Reads the skin file from the resource folder or the resource archive, as the paint
  // manager's process-wide settings say.
  bool LoadFile(const wchar_t* name, int encoding = XmlEncodingUtf8);
  bool LoadBytes(const BYTE* bytes, DWORD size, int encoding = XmlEncodingUtf8);
  void Clear();

  // The first element of the document; invalid when the document holds none.
  CSkinXmlNode Root();

  // The last failure and, for parse failures, up to 49 characters of text where it happened.
  const wchar_t* ErrorMessage() const { return errorMessage_; }
  const wchar_t* ErrorLocation() const { return errorLocation_; }

  // Records in use (the placeholder record 0 included) and allocated.
  uint32_t ElementCount() const { return elementCount_; }
  uint32_t ElementCapacity() const { return elementCapacity_; }

 private:
  friend class CSkinXmlNode;
  struct OpenElement;

  bool Parse();
  uint32_t ReserveElement();
  bool ParseAttributes(wchar_t*& p);
  bool CloseElement(wchar_t*& p, const OpenElement& element);
  bool Fail(const wchar_t* message, const wchar_t* location);
  void SetLoadError(const wchar_t* message);

  std::unique_ptr<wchar_t[]> text_;
  std::vector<XmlElement> elements_;
  uint32_t elementCount_ = 0;
  uint32_t elementCapacity_ = 0;
  wchar_t errorMessage_[100] = {};
  wchar_t errorLocation_[50] = {};
};

}  // namespace SkinUI
