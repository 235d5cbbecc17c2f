#include "skinui/SkinXml.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace SkinUI {
namespace {

std::vector<std::wstring> ChildNames(CSkinXmlNode node) {
  std::vector<std::wstring> names;
  for (CSkinXmlNode child = node.FirstChild(); child.IsValid(); child = child.NextSibling())
    names.push_back(child.Name());
  return names;
}

// Every malformed text fails with its own message, the text where it failed, and no root.
TEST(SkinXmlTest, ParseErrorsGiveTheirMessageAndLocation) {
  struct Case {
    const wchar_t* text;
    const wchar_t* message;
    const wchar_t* location;
  };
  const Case cases[] = {
      {L"plain text", L"Expected start tag", L"plain text"},
      {L"<a/> x", L"Expected start tag", L"x"},
      {L"<a><b/>mixed</a>", L"Expected start tag", L"mixed</a>"},
      {L"<abc", L"Error parsing element name", L""},
      {L"<a /x>", L"Expected start-tag closing", L"/x>"},
      {L"<a x=\"1\" ?>", L"Error while parsing attributes", L"?>"},
      {L"<a x>", L"Error while parsing attributes", L">"},
      {L"<a x y=\"1\"/>", L"Error while parsing attributes", L"y=\"1\"/>"},
      {L"<a x='1'/>", L"Expected attribute value", L"'1'/>"},
      {L"<a x=1/>", L"Expected attribute value", L"1/>"},
      {L"<a x=\"1/>", L"Error while parsing attribute string", L""},
      {L"<a></b>", L"Unmatched closing tag", L"b>"},
      {L"<a></ab>", L"Unmatched closing tag", L"b>"},
      {L"<ab></a>", L"Unmatched closing tag", L"a>"},
      {L"<a><b><c>text", L"Expected end-tag start", L""},
      {L"<a><b><c/>", L"Expected start tag", L""},
  };
  for (const Case& c : cases) {
    CSkinXml xml;
    EXPECT_FALSE(xml.LoadText(c.text)) << c.text;
    EXPECT_STREQ(c.message, xml.ErrorMessage()) << c.text;
    EXPECT_STREQ(c.location, xml.ErrorLocation()) << c.text;
    EXPECT_FALSE(xml.Root().IsValid()) << c.text;
  }
}

// The failure location is cut to 49 characters.
TEST(SkinXmlTest, ErrorLocationIsCutTo49Characters) {
  std::wstring tail(80, L'z');
  CSkinXml xml;
  EXPECT_FALSE(xml.LoadText((L"<a/>" + tail).c_str()));
  EXPECT_EQ(tail.substr(0, 49), xml.ErrorLocation());
}

// The five entity references decode; anything else after "&" stays exactly as typed.
TEST(SkinXmlTest, AttributeEntitiesDecode) {
  struct Case {
    const wchar_t* value;
    const wchar_t* decoded;
  };
  const Case cases[] = {
      {L"&amp;&lt;&gt;&quot;&apos;", L"&<>\"'"},
      {L"a &amp; b", L"a & b"},
      {L"&AMP;", L"&AMP;"},
      {L"&#65;", L"&#65;"},
      {L"&amp", L"&amp"},
      {L"&&amp;", L"&&"},
      {L"a&", L"a&"},
      {L"&nbsp;x", L"&nbsp;x"},
      {L"", L""},
  };
  for (const Case& c : cases) {
    std::wstring text = std::wstring(L"<a v=\"") + c.value + L"\" after=\"2\"/>";
    CSkinXml xml;
    ASSERT_TRUE(xml.LoadText(text.c_str())) << text;
    CSkinXmlNode root = xml.Root();
    ASSERT_EQ(2u, root.AttributeCount()) << text;
    EXPECT_STREQ(c.decoded, root.AttributeValue(0)) << text;
    // The attribute after a shortened value is still found whole.
    EXPECT_STREQ(L"after", root.AttributeName(1)) << text;
    EXPECT_STREQ(L"2", root.AttributeValue(1)) << text;
  }
}

// Entity references in character data decode without disturbing the tree.
TEST(SkinXmlTest, CharacterDataEntitiesKeepTheTree) {
  CSkinXml xml;
  ASSERT_TRUE(xml.LoadText(L"<a>x &lt; &amp;&amp; y<b k=\"v\"/></a>"));
  CSkinXmlNode b = xml.Root().FirstChild();
  ASSERT_TRUE(b.IsValid());
  EXPECT_STREQ(L"b", b.Name());
  EXPECT_STREQ(L"v", b.AttributeValue(0));
}

// Names, children, siblings and attributes come out as written; lookups are case-sensitive.
TEST(SkinXmlTest, TreeAndAttributesAreReadable) {
  CSkinXml xml;
  ASSERT_TRUE(xml.LoadText(
      L"<Window size=\"420,300\" caption = \"0,0,0,30\">\r\n"
      L"  <VerticalLayout name=\"body\">\n"
      L"    <Label name=\"a\" text=\"first\"/>\n"
      L"    <Button name=\"b\" />\n"
      L"  </VerticalLayout>\n"
      L"  <Font id=\"0\"></Font >\n"
      L"</Window>"));
  CSkinXmlNode root = xml.Root();
  ASSERT_TRUE(root.IsValid());
  EXPECT_STREQ(L"Window", root.Name());
  EXPECT_EQ((std::vector<std::wstring>{L"VerticalLayout", L"Font"}), ChildNames(root));
  EXPECT_EQ((std::vector<std::wstring>{L"Label", L"Button"}), ChildNames(root.FirstChild()));
  EXPECT_TRUE(root.HasChildren());
  EXPECT_FALSE(root.FirstChild().FirstChild().HasChildren());
  EXPECT_FALSE(root.NextSibling().IsValid());

  ASSERT_EQ(2u, root.AttributeCount());
  EXPECT_STREQ(L"caption", root.AttributeName(1));
  EXPECT_STREQ(L"0,0,0,30", root.AttributeValue(1));
  EXPECT_STREQ(L"", root.AttributeName(2));
  EXPECT_STREQ(L"", root.AttributeValue(2));

  wchar_t buffer[16] = {};
  EXPECT_FALSE(root.FindAttribute(L"Size", buffer, 15));
  EXPECT_STREQ(L"", buffer);
  EXPECT_TRUE(root.FindAttribute(L"size", buffer, 15));
  EXPECT_STREQ(L"420,300", buffer);

  CSkinXmlNode label = root.FirstChild().FirstChild();
  EXPECT_TRUE(label.HasAttributes());
  EXPECT_STREQ(L"first", label.AttributeValue(1));
  CSkinXmlNode font = root.FirstChild().NextSibling();
  EXPECT_STREQ(L"Font", font.Name());
  EXPECT_FALSE(font.HasChildren());
}

// FindAttribute copies at most capacity characters and ends the copy only when it is shorter.
TEST(SkinXmlTest, FindAttributeHonoursCapacity) {
  CSkinXml xml;
  ASSERT_TRUE(xml.LoadText(L"<a text=\"abcdef\"/>"));
  CSkinXmlNode root = xml.Root();
  wchar_t buffer[8];
  std::wmemset(buffer, L'#', 8);
  ASSERT_TRUE(root.FindAttribute(L"text", buffer, 3));
  EXPECT_EQ(std::wstring(L"abc#####", 8), std::wstring(buffer, 8));
  std::wmemset(buffer, L'#', 8);
  ASSERT_TRUE(root.FindAttribute(L"text", buffer, 7));
  EXPECT_STREQ(L"abcdef", buffer);
}

// Empty-element tags close with or without blanks and attributes before "/>".
TEST(SkinXmlTest, EmptyElementTags) {
  struct Case {
    const wchar_t* text;
    uint32_t attributes;
  };
  const Case cases[] = {
      {L"<a/>", 0}, {L"<a />", 0}, {L"<a\t\r\n/>", 0}, {L"<a x=\"1\"/>", 1}, {L"<a x=\"1\" />", 1},
  };
  for (const Case& c : cases) {
    CSkinXml xml;
    ASSERT_TRUE(xml.LoadText(c.text)) << c.text;
    CSkinXmlNode root = xml.Root();
    EXPECT_STREQ(L"a", root.Name()) << c.text;
    EXPECT_FALSE(root.HasChildren()) << c.text;
    EXPECT_EQ(c.attributes, root.AttributeCount()) << c.text;
  }
}

// An element with 70 attributes parses; its node shows the first 64.
TEST(SkinXmlTest, SeventyAttributesShowSixtyFour) {
  std::wstring text = L"<a";
  for (int i = 0; i < 70; ++i)
    text += L" n" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
  text += L"><b/></a>";
  CSkinXml xml;
  ASSERT_TRUE(xml.LoadText(text.c_str()));
  CSkinXmlNode root = xml.Root();
  EXPECT_EQ(64u, root.AttributeCount());
  EXPECT_STREQ(L"n63", root.AttributeName(63));
  EXPECT_STREQ(L"v63", root.AttributeValue(63));
  EXPECT_STREQ(L"", root.AttributeName(64));
  wchar_t buffer[8] = {};
  EXPECT_FALSE(root.FindAttribute(L"n69", buffer, 7));
  EXPECT_STREQ(L"b", root.FirstChild().Name());
}

// The text may end inside the root or the root's last child, but not deeper.
TEST(SkinXmlTest, TruncatedDocuments) {
  struct Case {
    const wchar_t* text;
    bool loads;
    const wchar_t* message;
    const wchar_t* lastChild;  // name of the root's last child when it loads
  };
  const Case cases[] = {
      {L"<root>", true, L"", nullptr},
      {L"<root>some text", true, L"", nullptr},
      {L"<root><child>", true, L"", L"child"},
      {L"<root><child>text", true, L"", L"child"},
      {L"<root><one/><child a=\"1\">text", true, L"", L"child"},
      {L"<root><child><g/>", false, L"Expected start tag", nullptr},
      {L"<root><child><g/>  ", false, L"Expected start tag", nullptr},
      {L"<root><child><g>text", false, L"Expected end-tag start", nullptr},
      {L"<root", false, L"Error parsing element name", nullptr},
      {L"<root a=\"1", false, L"Error while parsing attribute string", nullptr},
      // An entity reference as the very last thing of the text ends the decoding there.
      {L"<root>x&amp;", true, L"", nullptr},
      {L"<root>x&", true, L"", nullptr},
      {L"<root><child>&lt;", true, L"", L"child"},
      {L"<root a=\"&amp;", false, L"Error while parsing attribute string", nullptr},
      {L"<root a=\"&", false, L"Error while parsing attribute string", nullptr},
  };
  for (const Case& c : cases) {
    CSkinXml xml;
    EXPECT_EQ(c.loads, xml.LoadText(c.text)) << c.text;
    EXPECT_STREQ(c.message, xml.ErrorMessage()) << c.text;
    if (!c.loads) continue;
    CSkinXmlNode root = xml.Root();
    // An element left open still has its own name, not the text that follows it.
    EXPECT_STREQ(L"root", root.Name()) << c.text;
    if (c.lastChild == nullptr) {
      EXPECT_FALSE(root.HasChildren()) << c.text;
      continue;
    }
    std::vector<std::wstring> children = ChildNames(root);
    ASSERT_FALSE(children.empty()) << c.text;
    EXPECT_EQ(c.lastChild, children.back()) << c.text;
  }
}

// Declarations, processing instructions and comments are skipped wherever they stand.
TEST(SkinXmlTest, CommentsAndDeclarationsAreSkipped) {
  struct Case {
    const wchar_t* text;
    const wchar_t* root;  // null: loads without a root
    std::vector<std::wstring> children;
  };
  const Case cases[] = {
      {L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a/>", L"a", {}},
      {L"<!-- first --><a><!-- between --><b/><!-- x --><c/></a><!-- after -->", L"a",
       {L"b", L"c"}},
      {L"<!DOCTYPE a><a/>", nullptr, {}},
      {L"<a><b/><!-- never closed <c/></a>", L"a", {L"b"}},
      {L"  <!-- only a comment -->\r\n  ", nullptr, {}},
      {L"", nullptr, {}},
      {L" \t\r\n", nullptr, {}},
  };
  for (const Case& c : cases) {
    CSkinXml xml;
    ASSERT_TRUE(xml.LoadText(c.text)) << c.text;
    CSkinXmlNode root = xml.Root();
    if (c.root == nullptr) {
      EXPECT_FALSE(root.IsValid()) << c.text;
      continue;
    }
    ASSERT_TRUE(root.IsValid()) << c.text;
    EXPECT_STREQ(c.root, root.Name()) << c.text;
    EXPECT_EQ(c.children, ChildNames(root)) << c.text;
  }
}

// The record array grows by half of itself plus 500: 500, 1250, 2375.
TEST(SkinXmlTest, RecordArrayGrowth) {
  struct Case {
    int children;  // below one root
    uint32_t capacity;
  };
  const Case cases[] = {{0, 500}, {498, 500}, {499, 1250}, {1248, 1250}, {1249, 2375}};
  for (const Case& c : cases) {
    std::wstring text = L"<r>";
    for (int i = 0; i < c.children; ++i) text += L"<c/>";
    text += L"</r>";
    CSkinXml xml;
    ASSERT_TRUE(xml.LoadText(text.c_str()));
    EXPECT_EQ(static_cast<uint32_t>(c.children) + 2, xml.ElementCount()) << c.children;
    EXPECT_EQ(c.capacity, xml.ElementCapacity()) << c.children;
  }
}

// Very deep nesting is parsed, not a stack overflow.
TEST(SkinXmlTest, DeepNestingParses) {
  const int depth = 200000;
  std::wstring text;
  for (int i = 0; i < depth; ++i) text += L"<d>";
  for (int i = 0; i < depth; ++i) text += L"</d>";
  CSkinXml xml;
  ASSERT_TRUE(xml.LoadText(text.c_str()));
  CSkinXmlNode node = xml.Root();
  int levels = 0;
  for (; node.IsValid(); node = node.FirstChild()) ++levels;
  EXPECT_EQ(depth, levels);
  // Left open deep inside, it fails as any unfinished grandchild does.
  EXPECT_FALSE(xml.LoadText(text.substr(0, depth * 3).c_str()));
  EXPECT_STREQ(L"Expected end-tag start", xml.ErrorMessage());
}

// Surrogate pairs in values and data are copied whole, also next to entities.
TEST(SkinXmlTest, SurrogatePairsSurviveDecoding) {
  CSkinXml xml;
  ASSERT_TRUE(xml.LoadText(L"<a t=\"\xD83D\xDE00&amp;\xD83D\xDE00\">\xD83D\xDE00</a>"));
  EXPECT_STREQ(L"\xD83D\xDE00&\xD83D\xDE00", xml.Root().AttributeValue(0));
}

// Byte input: a UTF-8 mark changes nothing; UTF-16 needs its mark in either order.
TEST(SkinXmlTest, LoadBytesEncodings) {
  const std::string utf8 = "<a t=\"\xE4\xB8\xAD\"/>";  // U+4E2D
  struct Case {
    std::string bytes;
    int encoding;
    bool loads;
  };
  const Case cases[] = {
      {utf8, XmlEncodingUtf8, true},
      {"\xEF\xBB\xBF" + utf8, XmlEncodingUtf8, true},
      {std::string("\xFF\xFE<\0a\0 \0t\0=\0\"\0\x2D\x4E\"\0/\0>\0", 22), XmlEncodingUtf16, true},
      {std::string("\xFE\xFF\0<\0a\0 \0t\0=\0\"\x4E\x2D\0\"\0/\0>", 22), XmlEncodingUtf16, true},
      // An odd last byte is dropped.
      {std::string("\xFF\xFE<\0a\0 \0t\0=\0\"\0\x2D\x4E\"\0/\0>\0!", 23), XmlEncodingUtf16, true},
      {std::string("<\0a\0/\0>\0", 8), XmlEncodingUtf16, false},
      {std::string("\xFF", 1), XmlEncodingUtf16, false},
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const Case& c = cases[i];
    CSkinXml xml;
    EXPECT_EQ(c.loads, xml.LoadBytes(reinterpret_cast<const BYTE*>(c.bytes.data()),
                                     static_cast<DWORD>(c.bytes.size()), c.encoding))
        << "case " << i;
    if (!c.loads) continue;
    EXPECT_STREQ(L"a", xml.Root().Name()) << "case " << i;
    EXPECT_STREQ(L"\x4E2D", xml.Root().AttributeValue(0)) << "case " << i;
  }
  // ANSI text is read in the process's code page; plain ASCII is the same everywhere.
  CSkinXml xml;
  const std::string ascii = "<a t=\"x\"/>";
  ASSERT_TRUE(xml.LoadBytes(reinterpret_cast<const BYTE*>(ascii.data()),
                            static_cast<DWORD>(ascii.size()), XmlEncodingAnsi));
  EXPECT_STREQ(L"x", xml.Root().AttributeValue(0));
}

// Every load starts afresh: a failed load leaves no tree behind, a new one replaces the old.
TEST(SkinXmlTest, LoadReplacesAndFailureClears) {
  CSkinXml xml(L"<first/>");
  ASSERT_TRUE(xml.Root().IsValid());
  EXPECT_STREQ(L"first", xml.Root().Name());
  EXPECT_FALSE(xml.LoadText(L"<broken"));
  EXPECT_FALSE(xml.Root().IsValid());
  EXPECT_EQ(0u, xml.ElementCount());
  ASSERT_TRUE(xml.LoadText(L"<second/>"));
  EXPECT_STREQ(L"second", xml.Root().Name());
  EXPECT_STREQ(L"", xml.ErrorMessage());
  xml.Clear();
  EXPECT_FALSE(xml.Root().IsValid());
  // Operations on an invalid node answer nothing.
  CSkinXmlNode invalid;
  EXPECT_EQ(nullptr, invalid.Name());
  EXPECT_EQ(0u, invalid.AttributeCount());
  EXPECT_FALSE(invalid.FirstChild().IsValid());
  EXPECT_EQ(nullptr, invalid.AttributeValue(0));
}

}  // namespace
}  // namespace SkinUI
