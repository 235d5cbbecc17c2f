#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "SkinWindowSupport.h"
#include "skinui/ControlFactory.h"
#include "skinui/LayoutBuilder.h"
#include "skinui/UIVerticalLayout.h"
#include "support/TempFolder.h"

namespace SkinUI {
namespace {

// Owns what a build returned, as a window's manager would.
struct Built {
  explicit Built(CControlUI* control) : root(control) {}
  ~Built() {
    if (root != nullptr) root->DeleteSelf();
  }
  CControlUI* root;
};

CControlUI* BuildText(const std::wstring& text, CUIManager* manager = nullptr,
                      IDialogBuilderCallback* callback = nullptr, CControlUI* parent = nullptr) {
  CLayoutBuilder builder;
  return builder.Build(text.c_str(), nullptr, callback, manager, parent);
}

// Knows "SequenceButton" and counts the controls it made that were destroyed.
class CountingCallback : public IDialogBuilderCallback {
 public:
  CControlUI* CreateCustomControl(const wchar_t* className) override {
    asked.push_back(className);
    if (std::wstring(className) != L"SequenceButton") return nullptr;
    auto* control = new CControlUI();
    control->OnDestroy.Add([this](CControlUI*) {
      ++destroyed;
      return true;
    });
    return control;
  }
  std::vector<std::wstring> asked;
  int destroyed = 0;
};

// The factory matches names ignoring case, except the animation control's.
TEST(ControlFactory, ClassNamesAndCaseRules) {
  struct Row {
    const wchar_t* element;
    const wchar_t* className;  // null: nothing is built
  } rows[] = {
      {L"Control", L"Control"},          {L"container", L"Container"},
      {L"vbox", L"VerticalLayout"},      {L"VERTICALLAYOUT", L"VerticalLayout"},
      {L"HBox", L"HorizontalLayout"},    {L"tablayout", L"TabLayout"},
      {L"label", L"Label"},              {L"BUTTON", L"Button"},
      {L"Option", L"Option"},            {L"checkbox", L"CheckBox"},
      {L"Progress", L"Progress"},       {L"edit", L"Edit"},
      {L"ScrollBar", L"ScrollBar"},      {L"text", L"Text"},
      {L"Combo", L"Combo"},              {L"ComboBox", L"Combo"},
      {L"Tree", L"TreeView"},            {L"treeview", L"TreeView"},
      {L"List", L"List"},                {L"ListContainerElement", L"ListContainerElement"},
      {L"WebBrowser", L"WebBrowser"},    {L"GifAnim", L"GifAnim"},
      {L"gifanim", nullptr},             {L"GIFANIM", nullptr},
      {L"SequenceButton", nullptr},      {L"", nullptr},
      {L"VBoxes", nullptr},
  };
  for (const Row& row : rows) {
    std::unique_ptr<CControlUI> control(CreateControlByElementName(row.element));
    if (row.className == nullptr) {
      EXPECT_EQ(control, nullptr) << row.element;
    } else {
      ASSERT_NE(control, nullptr) << row.element;
      EXPECT_EQ(control->ClassName(), row.className) << row.element;
      EXPECT_EQ(control->FindInterface(row.className), control.get()) << row.element;
    }
  }
  EXPECT_EQ(CreateControlByElementName(nullptr), nullptr);
}

// Containers among the plain extended controls take children; the others do not.
TEST(ControlFactory, ExtendedContainersTakeChildren) {
  const wchar_t* containers[] = {L"List", L"ListHeader", L"ListHBoxElement", L"TreeView",
                                 L"TileLayout", L"ChildLayout", L"Combo", L"RichEdit"};
  for (const wchar_t* name : containers) {
    std::unique_ptr<CControlUI> control(CreateControlByElementName(name));
    EXPECT_NE(control->FindInterface(L"IContainer"), nullptr) << name;
  }
  const wchar_t* plain[] = {L"Text", L"Slider", L"DateTime", L"ActiveX", L"GifAnim"};
  for (const wchar_t* name : plain) {
    std::unique_ptr<CControlUI> control(CreateControlByElementName(name));
    EXPECT_EQ(control->FindInterface(L"IContainer"), nullptr) << name;
  }
}

// The tree follows the document; unknown elements vanish with their subtree; the callback adds classes.
TEST(LayoutBuilder, BuildsTreesFromText) {
  struct Row {
    const wchar_t* skin;
    const wchar_t* tree;
  } rows[] = {
      {L"<Window><VBox name=\"root\"><Control name=\"a\"/><HBox><Control/></HBox></VBox></Window>",
       L"VerticalLayout[root](Control[a],HorizontalLayout(Control))"},
      {L"<Window><VBox><Unknown><Control name=\"lost\"/></Unknown><Control name=\"kept\"/></VBox></Window>",
       L"VerticalLayout(Control[kept])"},
      {L"<Window><VBox><gifanim/><GifAnim name=\"g\"/></VBox></Window>",
       L"VerticalLayout(GifAnim[g])"},
      {L"<Window><VBox><SequenceButton name=\"seq\"/></VBox></Window>",
       L"VerticalLayout(Control[seq])"},
      {L"<Window><Font id=\"1\" name=\"Arial\"/><VBox><Image name=\"x.png\"/><Default name=\"a\" value=\"\"/>"
       L"<MultiLanguage id=\"3\" value=\"t\"/><Control/></VBox></Window>",
       L"VerticalLayout(Control)"},
      {L"<Window><TreeView><TreeNode name=\"n1\"><TreeNode name=\"n2\"/><Control name=\"row\"/>"
       L"</TreeNode></TreeView></Window>",
       L"TreeView(TreeNode[n1](TreeNode[n2],Control[row]))"},
      {L"<Window/>", L"null"},
  };
  for (const Row& row : rows) {
    CountingCallback callback;
    Built built(BuildText(row.skin, nullptr, &callback));
    EXPECT_EQ(DescribeTree(built.root), row.tree) << row.skin;
  }
}

// A description that cannot be read yields no tree.
TEST(LayoutBuilder, LoadFailuresYieldNull) {
  EXPECT_EQ(BuildText(L"<Window><VBox></Window>"), nullptr);
  CLayoutBuilder builder;
  EXPECT_EQ(builder.Build(L"no-such-skin-file.xml", nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(builder.Build(nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(builder.Build(MAKEINTRESOURCEW(999), L"xml", nullptr, nullptr), nullptr);
}

// Defaults come first, element attributes after in document order, so the last value wins.
TEST(LayoutBuilder, DefaultsThenAttributesInOrder) {
  CUIManager manager;
  Built built(BuildText(
      L"<Window><Default name=\"Control\" value=\"width=&quot;11&quot; height=&quot;12&quot;\"/>"
      L"<VBox><Control name=\"a\" width=\"20\" width=\"30\"/><control name=\"b\"/><Control name=\"c\"/>"
      L"</VBox></Window>",
      &manager));
  auto* list = static_cast<IContainerUI*>(built.root->FindInterface(L"IContainer"));
  ASSERT_EQ(list->Count(), 3);
  CControlUI* a = list->ItemAt(0);
  CControlUI* b = list->ItemAt(1);
  CControlUI* c = list->ItemAt(2);
  EXPECT_EQ(a->FixedWidth(), 30);
  EXPECT_EQ(a->FixedHeight(), 12);
  // The list is looked up by the element name as written.
  EXPECT_EQ(b->FixedWidth(), 0);
  EXPECT_EQ(c->FixedWidth(), 11);
  EXPECT_EQ(manager.GetDefaultAttributes(L"control"), L"");
}

// Tree nodes take the "TreeNode" default list however the element is written.
TEST(LayoutBuilder, TreeNodeDefaults) {
  CUIManager manager;
  Built built(BuildText(
      L"<Window><Default name=\"TreeNode\" value=\"width=&quot;9&quot;\"/>"
      L"<TreeView><treenode name=\"n\" height=\"4\"/></TreeView></Window>",
      &manager));
  auto* tree = static_cast<IContainerUI*>(built.root->FindInterface(L"IContainer"));
  ASSERT_EQ(tree->Count(), 1);
  EXPECT_EQ(tree->ItemAt(0)->FixedWidth(), 9);
  EXPECT_EQ(tree->ItemAt(0)->FixedHeight(), 4);
}

// A control sees the manager while its attributes are applied and is detached afterwards.
TEST(LayoutBuilder, AttachesOnlyWhileApplyingAttributes) {
  struct Probe : CControlUI {
    void ApplyAttribute(const std::wstring& name, const std::wstring& value) override {
      seen.push_back(Manager());
      CControlUI::ApplyAttribute(name, value);
    }
    std::vector<CUIManager*> seen;
  };
  struct ProbeCallback : IDialogBuilderCallback {
    CControlUI* CreateCustomControl(const wchar_t*) override { return probe = new Probe(); }
    Probe* probe = nullptr;
  } callback;
  CUIManager manager;
  Built built(BuildText(L"<Window><VBox><Probe name=\"p\" width=\"5\"/></VBox></Window>", &manager,
                        &callback));
  ASSERT_NE(callback.probe, nullptr);
  EXPECT_EQ(callback.probe->seen, (std::vector<CUIManager*>{&manager, &manager}));
  EXPECT_EQ(callback.probe->Manager(), nullptr);
  EXPECT_EQ(callback.probe->Parent(), built.root);
  EXPECT_EQ(built.root->Manager(), nullptr);
  // Names are registered only when the tree is attached.
  EXPECT_EQ(manager.ControlByName(L"p"), nullptr);
  manager.AttachRoot(built.root);
  EXPECT_EQ(manager.ControlByName(L"p"), callback.probe);
  built.root = nullptr;
}

// Building into a parent that already lives in a window leaves the new controls attached to it.
TEST(LayoutBuilder, BuildIntoAttachedParentStaysAttached) {
  CUIManager manager;
  auto* root = new CVerticalLayoutUI();
  manager.AttachRoot(root);
  CLayoutBuilder builder;
  CControlUI* first = builder.Build(L"<Page><Control name=\"late\" width=\"7\"/></Page>", nullptr,
                                    nullptr, &manager, root);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Manager(), &manager);
  EXPECT_EQ(first->Parent(), root);
  EXPECT_EQ(first->FixedWidth(), 7);
  EXPECT_EQ(manager.ControlByName(L"late"), first);
}

// "cover" written exactly "true" makes the cover control; any other spelling adds a child.
TEST(LayoutBuilder, CoverOnlyForExactTrue) {
  Built built(BuildText(
      L"<Window><VBox><Control name=\"covered\"><Control name=\"c1\" cover=\"true\"/></Control>"
      L"<HBox name=\"h\"><Control name=\"c2\" cover=\"True\"/><Control name=\"c3\" cover=\"truex\"/>"
      L"</HBox></VBox></Window>"));
  auto* list = static_cast<IContainerUI*>(built.root->FindInterface(L"IContainer"));
  ASSERT_EQ(list->Count(), 2);
  ASSERT_NE(list->ItemAt(0)->Cover(), nullptr);
  EXPECT_EQ(list->ItemAt(0)->Cover()->GetName(), L"c1");
  EXPECT_EQ(DescribeTree(list->ItemAt(1)), L"HorizontalLayout[h](Control[c2],Control[c3])");
}

// Children of a control that is no container are destroyed, not leaked, and leave no name behind.
TEST(LayoutBuilder, ChildrenOfPlainControlsAreDestroyed) {
  CountingCallback callback;
  CUIManager manager;
  Built built(BuildText(
      L"<Window><VBox><Control name=\"plain\"><SequenceButton name=\"gone\"/><SequenceButton/>"
      L"</Control><Control name=\"after\"/></VBox></Window>",
      &manager, &callback));
  EXPECT_EQ(DescribeTree(built.root), L"VerticalLayout(Control[plain],Control[after])");
  EXPECT_EQ(callback.destroyed, 1);
  EXPECT_EQ(manager.ControlByName(L"gone"), nullptr);
}

// Without a parent only the first top-level control is returned; later ones are destroyed.
TEST(LayoutBuilder, ExtraTopLevelControlsAreDestroyed) {
  CountingCallback callback;
  Built built(BuildText(L"<Window><VBox name=\"first\"/><SequenceButton/></Window>", nullptr,
                        &callback));
  EXPECT_EQ(DescribeTree(built.root), L"VerticalLayout[first]");
  EXPECT_EQ(callback.destroyed, 1);
}

// Fonts need an id of 0 or more and a name; "default" true in any case also sets the default font.
TEST(LayoutBuilder, FontDeclarations) {
  CUIManager manager;
  Built built(BuildText(
      L"<Window><Font id=\"1\" name=\"Arial\" size=\"20\" bold=\"true\"/>"
      L"<Font name=\"Tahoma\" size=\"30\"/>"
      L"<Font id=\"2\" size=\"30\"/>"
      L"<Font id=\"3\" name=\"Courier New\" size=\"15\" size=\"17\" default=\"TRUE\"/>"
      L"<VBox><Font id=\"4\" name=\"Arial\"/></VBox></Window>",
      &manager));
  UIFontInfo* first = manager.GetFontInfo(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->faceName, L"Arial");
  EXPECT_EQ(first->size, 20);
  EXPECT_TRUE(first->bold);
  HFONT fallback = manager.GetFont(99);
  EXPECT_EQ(manager.GetFont(2), fallback);
  EXPECT_EQ(manager.GetFont(4), fallback);
  EXPECT_NE(manager.GetFont(3), fallback);
  ASSERT_NE(manager.DefaultFontInfo(), nullptr);
  EXPECT_EQ(manager.DefaultFontInfo()->faceName, L"Courier New");
  EXPECT_EQ(manager.DefaultFontInfo()->size, 17);
}

// Default lists and language texts are registered only from direct children of the root.
TEST(LayoutBuilder, DefaultAndLanguageDeclarations) {
  CUIManager manager;
  Built built(BuildText(
      L"<Window><Default name=\"Label\" value=\"a\"/><Default value=\"nameless\"/>"
      L"<MultiLanguage id=\"7101\" value=\"seven\"/><MultiLanguage value=\"no id\"/>"
      L"<VBox><Default name=\"Nested\" value=\"b\"/><MultiLanguage id=\"7102\" value=\"x\"/></VBox>"
      L"</Window>",
      &manager));
  EXPECT_EQ(manager.GetDefaultAttributes(L"Label"), L"a");
  EXPECT_EQ(manager.GetDefaultAttributes(L"Nested"), L"");
  ASSERT_NE(CUIManager::LanguageText(7101), nullptr);
  EXPECT_EQ(*CUIManager::LanguageText(7101), L"seven");
  EXPECT_EQ(CUIManager::LanguageText(7102), nullptr);
}

// Root attributes reach the window's manager; unknown ones become custom attributes, first value kept.
TEST(LayoutBuilder, WindowAttributes) {
  TestWindow window(300, 200);
  CUIManager manager;
  manager.Init(window.get(), L"");
  Built built(BuildText(
      L"<Window size=\"320,240\" caption=\"0,0,0,35\" roundcorner=\"12,12\" sizebox=\"4,4,4,4\""
      L" showshadow=\"true\" showshadow=\"false\" mininfo=\"100,80\"><VBox/></Window>",
      &manager));
  EXPECT_EQ(manager.Caption().bottom, 35);
  EXPECT_EQ(manager.RoundCorner().cx, 12);
  EXPECT_EQ(manager.SizeBox().left, 4);
  EXPECT_EQ(manager.MinInfo().cy, 80);
  ASSERT_NE(manager.WindowExtraAttribute(L"showshadow"), nullptr);
  EXPECT_EQ(*manager.WindowExtraAttribute(L"showshadow"), L"true");
  RECT client = {};
  ::GetClientRect(window.get(), &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 240);

  // A root of another name, or a manager without a window, takes no window attributes.
  CUIManager windowless;
  Built other(BuildText(L"<Window caption=\"0,0,0,9\"><VBox/></Window>", &windowless));
  EXPECT_EQ(windowless.Caption().bottom, 0);
  CUIManager page;
  page.Init(window.get(), L"");
  Built notWindow(BuildText(L"<Page caption=\"0,0,0,9\"><VBox/></Page>", &page));
  EXPECT_EQ(page.Caption().bottom, 0);
}

class BuilderFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    savedPath_ = CUIManager::ResourcePath();
    CUIManager::ResetResourceArchive();
    CUIManager::SetResourcePath(folder_.path());
  }
  void TearDown() override { CUIManager::SetResourcePath(savedPath_); }
  void Write(const wchar_t* name, const char* text) { folder_.WriteFile(name, text); }

  TempFolder folder_;
  std::wstring savedPath_;
};

// "Include" builds another description "count" times into the current parent; 0 builds nothing.
TEST_F(BuilderFiles, IncludeWithCount) {
  Write(L"item.xml", "<Item><Control name=\"i\"/><HBox/></Item>");
  struct Row {
    const wchar_t* include;
    const wchar_t* tree;
  } rows[] = {
      {L"<Include source=\"item.xml\" count=\"3\"/>",
       L"VerticalLayout(Control[x],Control[i],HorizontalLayout,Control[i],HorizontalLayout,"
       L"Control[i],HorizontalLayout)"},
      {L"<Include source=\"item.xml\"/>", L"VerticalLayout(Control[x],Control[i],HorizontalLayout)"},
      {L"<Include source=\"item.xml\" count=\"0\"/>", L"VerticalLayout(Control[x])"},
      {L"<Include source=\"item.xml\" count=\"-2\"/>", L"VerticalLayout(Control[x])"},
      {L"<Include count=\"2\"/>", L"VerticalLayout(Control[x])"},
      {L"<Include source=\"missing.xml\"/>", L"VerticalLayout(Control[x])"},
  };
  for (const Row& row : rows) {
    std::wstring skin =
        std::wstring(L"<Window><VBox><Control name=\"x\"/>") + row.include + L"</VBox></Window>";
    Built fromText(BuildText(skin));
    EXPECT_EQ(DescribeTree(fromText.root), row.tree) << row.include;
  }
}

// A description read from a file builds the same way as a text, includes nested in layouts too.
TEST_F(BuilderFiles, FileWithNestedInclude) {
  Write(L"row.xml", "<Row><Control name=\"cell\"/></Row>");
  Write(L"main.xml",
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window><VBox><HBox name=\"r\">"
        "<Include source=\"row.xml\" count=\"2\"/></HBox></VBox></Window>");
  CLayoutBuilder builder;
  Built built(builder.Build(L"main.xml", nullptr, nullptr, nullptr));
  EXPECT_EQ(DescribeTree(built.root), L"VerticalLayout(HorizontalLayout[r](Control[cell],Control[cell]))");
}

// A description held as a resource of type "xml"; its includes name resources of the same type.
TEST(LayoutBuilderResources, ResourceAndResourceInclude) {
  CLayoutBuilder builder;
  Built built(builder.Build(MAKEINTRESOURCEW(301), L"xml", nullptr, nullptr));
  EXPECT_EQ(DescribeTree(built.root),
            L"VerticalLayout[fromresource](Control[included],Control[included])");
}

}  // namespace
}  // namespace SkinUI
