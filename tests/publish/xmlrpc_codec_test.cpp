// The XML-RPC request writer and the response reader: what a server will
// parse from us, and what we make of what servers really send.
#include <gtest/gtest.h>

#include <windows.h>

#include "qtvpublish/real/Base64.h"
#include "qtvpublish/real/XmlRpcRequest.h"
#include "qtvpublish/real/XmlRpcResponseReader.h"

using qtvpublish::CXmlRpcAnswer;
using qtvpublish::CXmlRpcRequest;
using qtvpublish::CXmlRpcResponseReader;
using qtvpublish::CXmlRpcValue;

namespace {

CXmlRpcAnswer Read(const std::string& body)
{
    return CXmlRpcResponseReader::Read(body);
}

std::string Response(const std::string& value)
{
    return "<?xml version=\"1.0\"?><methodResponse><params><param><value>" + value +
           "</value></param></params></methodResponse>";
}

}  // namespace

TEST(XmlRpcRequest, NestedStructsParamsAndEscaping)
{
    CXmlRpcRequest request("wp.newPost");
    request.String("7").Int(-3).Bool(true);
    request.BeginStruct()
        .Member("post_title").String("Fish & <Chips>")
        .Member("inner").BeginStruct().Member("n").Int(5000000000LL).EndStruct()
        .Member("bits").Base64("QUJD")
        .EndStruct();
    const std::string doc = request.Document();
    EXPECT_EQ(doc,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<methodCall><methodName>wp.newPost</methodName><params>"
              "<param><value><string>7</string></value></param>"
              "<param><value><int>-3</int></value></param>"
              "<param><value><boolean>1</boolean></value></param>"
              "<param><value><struct>"
              "<member><name>post_title</name><value><string>Fish &amp; &lt;Chips&gt;</string></value></member>"
              "<member><name>inner</name><value><struct><member><name>n</name><value><i8>5000000000</i8></value>"
              "</member></struct></value></member>"
              "<member><name>bits</name><value><base64>QUJD</base64></value></member>"
              "</struct></value></param></params></methodCall>\n");
}

TEST(XmlRpcRequest, TextSurvivesAsCharacterData)
{
    // Control characters that XML 1.0 cannot carry would make a server
    // reject the whole call; a CR must not turn into a line feed.
    EXPECT_EQ(CXmlRpcRequest::Escape(std::string("a\x01\x08""b\tc\r\nd\x1f\x7f", 12)), "ab\tc&#13;\nd\x7f");
    EXPECT_EQ(CXmlRpcRequest::Escape("\xC3\xA9 \"q\" 'a' ]]>"), "\xC3\xA9 \"q\" 'a' ]]&gt;");
    EXPECT_EQ(CXmlRpcRequest::Escape(std::string("x\0y", 3)), "xy");
}

TEST(XmlRpcResponse, WordPressBlogListAsServed)
{
    // Pretty-printed as WordPress sends it, with untyped and typed values.
    const CXmlRpcAnswer answer = Read(
        "\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<methodResponse>\n  <params>\n    <param>\n      <value>\n"
        "      <array><data>\n  <value><struct>\n  <member><name>isAdmin</name><value><boolean>1</boolean></value>"
        "</member>\n  <member><name>url</name><value><string>http://127.0.0.1:8080/</string></value></member>\n"
        "  <member><name>blogid</name><value><string>1</string></value></member>\n"
        "  <member><name>blogName</name><value>Caf\xC3\xA9 &amp; <![CDATA[<b>]]> &#x263A;</value></member>\n"
        "  <member><name>empty</name><value><string/></value></member>\n"
        "  <member><name>spaces</name><value>  </value></member>\n"
        "</struct></value>\n</data></array>\n      </value>\n    </param>\n  </params>\n</methodResponse>\n");
    ASSERT_EQ(answer.m_kind, CXmlRpcAnswer::Kind::Value);
    ASSERT_EQ(answer.m_value.m_kind, CXmlRpcValue::Kind::Array);
    ASSERT_EQ(answer.m_value.m_items.size(), 1u);
    const CXmlRpcValue& blog = answer.m_value.m_items[0];
    ASSERT_EQ(blog.m_kind, CXmlRpcValue::Kind::Struct);
    EXPECT_EQ(blog.m_members.size(), 6u);
    EXPECT_EQ(blog.Text(L"url"), L"http://127.0.0.1:8080/");
    EXPECT_EQ(blog.Text(L"blogid"), L"1");
    EXPECT_EQ(blog.Text(L"blogName"), L"Caf\u00e9 & <b> \u263A");
    EXPECT_EQ(blog.Find(L"isAdmin")->m_kind, CXmlRpcValue::Kind::Bool);
    EXPECT_EQ(blog.Find(L"empty")->m_strText, L"");
    EXPECT_EQ(blog.Find(L"spaces")->m_strText, L"  ");
    EXPECT_EQ(blog.Find(L"missing"), nullptr);
}

TEST(XmlRpcResponse, FaultsWithEitherIntegerType)
{
    for (const char* type : {"int", "i4"}) {
        const CXmlRpcAnswer answer = Read(
            std::string("<?xml version=\"1.0\"?><methodResponse><fault><value><struct><member><name>faultCode</name>"
                        "<value><") + type + ">403</" + type +
            "></value></member><member><name>faultString</name><value><string>Incorrect username or password."
            "</string></value></member></struct></value></fault></methodResponse>");
        ASSERT_EQ(answer.m_kind, CXmlRpcAnswer::Kind::Fault) << type;
        EXPECT_EQ(answer.m_nFaultCode, 403);
        EXPECT_EQ(answer.m_strFault, L"Incorrect username or password.");
    }
}

TEST(XmlRpcResponse, AnythingButAMethodResponseIsNotXmlRpc)
{
    const char* const kAnswers[] = {
        "<!DOCTYPE html><html><head><title>Blog</title></head><body><p>Hello</p></body></html>",
        "<html><body>XML-RPC server accepts POST requests only.</body></html>",
        "XML-RPC server accepts POST requests only.",
        "<br />\n<b>Notice</b>: Undefined index in <b>x.php</b><?xml version=\"1.0\"?><methodResponse/>",
        // Cut off in the middle.
        "<?xml version=\"1.0\"?><methodResponse><params><param><value><string>abc",
        "",
        // A DTD could expand entities without bound.
        "<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaa\">]><methodResponse><params><param><value>&a;"
        "</value></param></params></methodResponse>",
    };
    for (const char* body : kAnswers)
        EXPECT_EQ(Read(body).m_kind, CXmlRpcAnswer::Kind::NotXmlRpc) << body;
}

TEST(XmlRpcResponse, NestingIsBoundedAndValuesStayInOrder)
{
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<value><array><data>";
    EXPECT_EQ(Read(Response(deep)).m_kind, CXmlRpcAnswer::Kind::NotXmlRpc);

    const CXmlRpcAnswer answer =
        Read(Response("<array><data><value><i4>1</i4></value><value><array><data><value>x</value></data></array>"
                      "</value><value><double>2.5</double></value><value><nil/></value></data></array>"));
    ASSERT_EQ(answer.m_kind, CXmlRpcAnswer::Kind::Value);
    ASSERT_EQ(answer.m_value.m_items.size(), 4u);
    EXPECT_EQ(answer.m_value.m_items[0].m_strText, L"1");
    ASSERT_EQ(answer.m_value.m_items[1].m_items.size(), 1u);
    EXPECT_EQ(answer.m_value.m_items[1].m_items[0].m_strText, L"x");
    EXPECT_EQ(answer.m_value.m_items[2].m_kind, CXmlRpcValue::Kind::Double);
    EXPECT_EQ(answer.m_value.m_items[3].m_kind, CXmlRpcValue::Kind::Nil);
}

TEST(XmlRpcResponse, ValueCountIsBounded)
{
    // 8 MB of empty values: refused, without building a million of them.
    std::string body = Response("<array><data>");
    body.resize(body.find("<array><data>") + 13);
    while (body.size() < (8u << 20))
        body += "<value/>";
    body += "</data></array></value></param></params></methodResponse>";
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(Read(body).m_kind, CXmlRpcAnswer::Kind::NotXmlRpc);
    std::printf("8 MB of <value/>: refused in %llu ms\n", static_cast<unsigned long long>(::GetTickCount64() - start));

    // Within the bound, a large answer still reads whole.
    std::string fine = "<array><data>";
    for (std::size_t i = 0; i < CXmlRpcResponseReader::kMaxValues - 2; ++i)
        fine += "<value/>";
    fine += "</data></array>";
    const CXmlRpcAnswer answer = Read(Response(fine));
    ASSERT_EQ(answer.m_kind, CXmlRpcAnswer::Kind::Value);
    EXPECT_EQ(answer.m_value.m_items.size(), CXmlRpcResponseReader::kMaxValues - 2);
}

TEST(Base64, PlatformEncoderOnOneLine)
{
    std::string encoded;
    ASSERT_TRUE(qtvpublish::EncodeBase64("Man", encoded));
    EXPECT_EQ(encoded, "TWFu");
    ASSERT_TRUE(qtvpublish::EncodeBase64("Ma", encoded));
    EXPECT_EQ(encoded, "TWE=");
    std::string bytes(100000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(qtvpublish::EncodeBase64(bytes, encoded));
    EXPECT_EQ(encoded.size(), (bytes.size() + 2) / 3 * 4);
    EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(encoded.find('\0'), std::string::npos);
}
