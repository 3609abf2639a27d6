// The application manifest as Windows finds it: resource 1 of type RT_MANIFEST in the compiled
// resources (linked into this test program too), parsed by MSXML, each element checked with its
// namespace.
#include <gtest/gtest.h>
#include <msxml2.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/com_owners.h"

namespace wbh::platform::win32 {
namespace {

const IID kDomDocumentIid = {
    0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
const IID kDomElementIid = {
    0x2933bf86, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

struct Element {
    std::wstring space;  // namespace URI
    std::wstring text;
    IXMLDOMElement* element;  // valid while the document lives
};

class Win32Manifest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
        ASSERT_NE(nullptr, found) << "no manifest resource";
        const DWORD size = SizeofResource(nullptr, found);
        const void* bytes = LockResource(LoadResource(nullptr, found));
        ASSERT_NE(nullptr, bytes);

        CLSID clsid;
        ASSERT_TRUE(SUCCEEDED(CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &clsid)));
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                               kDomDocumentIid,
                                               reinterpret_cast<void**>(document_.Put()))));
        document_->put_async(VARIANT_FALSE);
        // The bytes as they are, so the parser reads the encoding the declaration names.
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, size);
        void* data = nullptr;
        SafeArrayAccessData(array, &data);
        std::memcpy(data, bytes, size);
        SafeArrayUnaccessData(array);
        VARIANT source;
        VariantInit(&source);
        source.vt = VT_ARRAY | VT_UI1;
        source.parray = array;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_EQ(S_OK, document_->load(source, &loaded));
        VariantClear(&source);
        ASSERT_EQ(VARIANT_TRUE, loaded) << "the manifest is not well-formed XML";
    }
    void TearDown() override {
        nodes_.clear();
        document_ = ComPtr<IXMLDOMDocument>();
        CoUninitialize();
    }

    // Every element of that name, in document order.
    std::vector<Element> Elements(const wchar_t* name) {
        std::vector<Element> found;
        ComPtr<IXMLDOMNodeList> list;
        Bstr tag(SysAllocString(name));
        if (FAILED(document_->getElementsByTagName(tag.Get(), list.Put()))) return found;
        for (;;) {
            ComPtr<IXMLDOMNode> node;
            if (list->nextNode(node.Put()) != S_OK || node.Get() == nullptr) break;
            Element element{};
            Bstr space, text;
            node->get_namespaceURI(space.Put());
            node->get_text(text.Put());
            element.space = space.Get() ? space.Get() : L"";
            element.text = text.Get() ? text.Get() : L"";
            ComPtr<IXMLDOMElement> as_element;
            node->QueryInterface(kDomElementIid, reinterpret_cast<void**>(as_element.Put()));
            element.element = as_element.Get();
            nodes_.push_back(std::move(as_element));
            found.push_back(element);
        }
        return found;
    }

    static std::wstring Attribute(const Element& element, const wchar_t* name) {
        VARIANT value;
        VariantInit(&value);
        Bstr attribute(SysAllocString(name));
        std::wstring text = L"<none>";
        if (element.element != nullptr &&
            element.element->getAttribute(attribute.Get(), &value) == S_OK &&
            value.vt == VT_BSTR) {
            text = value.bstrVal;
        }
        VariantClear(&value);
        return text;
    }

    ComPtr<IXMLDOMDocument> document_;
    std::vector<ComPtr<IXMLDOMElement>> nodes_;
};

TEST_F(Win32Manifest, RunsAsInvokerOnWindows7To11) {
    const auto levels = Elements(L"requestedExecutionLevel");
    ASSERT_EQ(1u, levels.size());
    EXPECT_EQ(L"urn:schemas-microsoft-com:asm.v3", levels[0].space);
    EXPECT_EQ(L"asInvoker", Attribute(levels[0], L"level"));
    EXPECT_EQ(L"false", Attribute(levels[0], L"uiAccess"));

    std::set<std::wstring> systems;
    for (const Element& os : Elements(L"supportedOS")) {
        EXPECT_EQ(L"urn:schemas-microsoft-com:compatibility.v1", os.space);
        systems.insert(Attribute(os, L"Id"));
    }
    const std::set<std::wstring> expected = {
        L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
        L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
        L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
    };
    EXPECT_EQ(expected, systems);
}

TEST_F(Win32Manifest, UsesCommonControls6AndPerMonitorDpi) {
    int common_controls = 0;
    for (const Element& identity : Elements(L"assemblyIdentity")) {
        if (Attribute(identity, L"name") != L"Microsoft.Windows.Common-Controls") continue;
        ++common_controls;
        EXPECT_EQ(L"6.0.0.0", Attribute(identity, L"version"));
        EXPECT_EQ(L"6595b64144ccf1df", Attribute(identity, L"publicKeyToken"));
        EXPECT_EQ(L"win32", Attribute(identity, L"type"));
    }
    EXPECT_EQ(1, common_controls);

    const auto awareness = Elements(L"dpiAwareness");
    ASSERT_EQ(1u, awareness.size());
    EXPECT_EQ(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", awareness[0].space);
    EXPECT_EQ(L"PerMonitorV2", awareness[0].text);
    const auto fallback = Elements(L"dpiAware");
    ASSERT_EQ(1u, fallback.size());
    EXPECT_EQ(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", fallback[0].space);
    EXPECT_EQ(L"true", fallback[0].text);
}

}  // namespace
}  // namespace wbh::platform::win32
