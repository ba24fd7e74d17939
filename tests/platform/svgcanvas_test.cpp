#include "platform/svgcanvas.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/xmlcheck.h"

namespace {

const XmlElement& only(const XmlDocument& doc, std::string_view name)
{
    const auto found = doc.named(name);
    EXPECT_EQ(found.size(), 1u) << name;
    return doc.elements.at(static_cast<std::size_t>(found.at(0)));
}

TEST(XmlCheck, RejectsTheUsualWaysOfBreakingADocument)
{
    const char* broken[] = {
        "",
        "<a>",
        "<a></b>",
        "<a><b></a></b>",
        "<a/><b/>",
        "<a x=\"1\" x=\"2\"/>",
        "<a x=1/>",
        "<a x=\"<\"/>",
        "<a>&nbsp;</a>",
        "<a>& </a>",
        "<a>1 < 2</a>",
        "<a x=\"1\"y=\"2\"/>",
        "<a>\x01</a>",
        "text<a/>",
        "<a/>text",
        "<1a/>",
    };
    for (const char* text : broken)
        EXPECT_FALSE(parseXml(text).wellFormed()) << text;

    const XmlDocument good =
        parseXml("<?xml version=\"1.0\"?>\n<!-- c --><a k='v &amp; w'><b/>x &lt; y<c>&#65;</c></a>\n");
    ASSERT_TRUE(good.wellFormed()) << good.error;
    ASSERT_EQ(good.elements.size(), 3u);
    EXPECT_EQ(good.elements[0].attributes.at("k"), "v & w");
    EXPECT_EQ(good.elements[0].text, "x < y");
    EXPECT_EQ(good.elements[2].text, "A");
    EXPECT_EQ(good.children(0), (std::vector<int>{1, 2}));
}

TEST(SvgCanvas, EachOperationBecomesOneElementWithTheStateInForce)
{
    std::ostringstream out;
    {
        SvgCanvas svg(out, 1010, 620);
        svg.setBrushColor(white);
        svg.fillRect(10, 10, 1000, 610);
        svg.fillRect(50, 50, 50, 80);  // empty: nothing to fill
        svg.setPenColor(blue);
        svg.setPenWidth(2);
        svg.moveTo(33, 38);
        svg.lineTo(77, 38);
        svg.lineTo(77, 132);  // continues from the end of the last line
        svg.setPenWidth(1);
        svg.setPenColor(red);
        svg.setBrushColor(red);
        svg.ellipse(47, 52, 63, 68);
        svg.ellipse(70, 80, 40, 45);  // corners in either order, half-pixel centre and radii
        svg.setBrushColor(white);
        svg.setPenColor(black);
        svg.rectangle(70, 75, 40, 45);
        svg.setFontHeight(25);
        svg.setFontColor(red);
        svg.textOut(47, 48, "F");
    }
    const std::string text = out.str();
    const XmlDocument doc = parseXml(text);
    ASSERT_TRUE(doc.wellFormed()) << doc.error << "\n" << text;

    const XmlElement& root = doc.elements[0];
    EXPECT_EQ(root.name, "svg");
    EXPECT_EQ(root.attributes.at("xmlns"), "http://www.w3.org/2000/svg");
    EXPECT_EQ(root.attributes.at("width"), "1010");
    EXPECT_EQ(root.attributes.at("height"), "620");
    EXPECT_EQ(root.attributes.at("viewBox"), "0 0 1010 620");

    const auto rects = doc.named("rect");
    ASSERT_EQ(rects.size(), 2u);
    const auto& fill = doc.elements[static_cast<std::size_t>(rects[0])].attributes;
    EXPECT_EQ(fill, (std::map<std::string, std::string>{
                        {"x", "10"}, {"y", "10"}, {"width", "990"}, {"height", "600"}, {"fill", "#ffffff"}}));
    const auto& box = doc.elements[static_cast<std::size_t>(rects[1])].attributes;
    EXPECT_EQ(box, (std::map<std::string, std::string>{{"x", "40"},
                                                       {"y", "45"},
                                                       {"width", "30"},
                                                       {"height", "30"},
                                                       {"fill", "#ffffff"},
                                                       {"stroke", "#000000"},
                                                       {"stroke-width", "1"}}));

    const auto lines = doc.named("line");
    ASSERT_EQ(lines.size(), 2u);
    const auto& second = doc.elements[static_cast<std::size_t>(lines[1])].attributes;
    EXPECT_EQ(second, (std::map<std::string, std::string>{{"x1", "77"},
                                                          {"y1", "38"},
                                                          {"x2", "77"},
                                                          {"y2", "132"},
                                                          {"stroke", "#0000ff"},
                                                          {"stroke-width", "2"}}));

    const auto ellipses = doc.named("ellipse");
    ASSERT_EQ(ellipses.size(), 2u);
    const auto& dot = doc.elements[static_cast<std::size_t>(ellipses[0])].attributes;
    EXPECT_EQ(dot.at("cx"), "55");
    EXPECT_EQ(dot.at("cy"), "60");
    EXPECT_EQ(dot.at("rx"), "8");
    EXPECT_EQ(dot.at("ry"), "8");
    EXPECT_EQ(dot.at("fill"), "#ff0000");
    EXPECT_EQ(dot.at("stroke"), "#ff0000");
    const auto& odd = doc.elements[static_cast<std::size_t>(ellipses[1])].attributes;
    EXPECT_EQ(odd.at("cx"), "55");
    EXPECT_EQ(odd.at("cy"), "62.5");
    EXPECT_EQ(odd.at("rx"), "15");
    EXPECT_EQ(odd.at("ry"), "17.5");

    const XmlElement& letter = only(doc, "text");
    EXPECT_EQ(letter.text, "F");
    EXPECT_EQ(letter.attributes.at("x"), "47");
    EXPECT_EQ(letter.attributes.at("y"), "68");  // baseline 0.8 of the height below the top
    EXPECT_EQ(letter.attributes.at("font-size"), "25");
    EXPECT_EQ(letter.attributes.at("fill"), "#ff0000");
}

TEST(SvgCanvas, AnyTextOrGroupNameStillGivesAWellFormedDocument)
{
    std::ostringstream out;
    {
        SvgCanvas svg(out, 100, 100);
        svg.beginGroup("gate-\"1\" <&>");
        svg.textOut(0, 0, "a<b & \"c\" 'd' ]]> \x01\x7f\xc3\xa9\ttab");
        svg.endGroup();
        svg.endGroup();  // one too many: ignored
        svg.beginGroup("outer");
        svg.beginGroup("inner");
        svg.moveTo(0, 0);
        svg.lineTo(5, 5);
        // Left open: the destructor closes both groups and the document.
    }
    const XmlDocument doc = parseXml(out.str());
    ASSERT_TRUE(doc.wellFormed()) << doc.error << "\n" << out.str();
    const auto groups = doc.named("g");
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(doc.elements[static_cast<std::size_t>(groups[0])].attributes.at("id"), "gate-\"1\" <&>");
    EXPECT_EQ(doc.elements[static_cast<std::size_t>(groups[2])].parent, groups[1]);
    EXPECT_EQ(doc.elements[static_cast<std::size_t>(doc.named("line")[0])].parent, groups[2]);
    EXPECT_EQ(only(doc, "text").text, "a<b & \"c\" 'd' ]]> \x7f??\ttab");
}

TEST(SvgCanvas, OperationsAfterFinishAreIgnored)
{
    std::ostringstream out;
    SvgCanvas svg(out, 10, 10);
    svg.finish();
    svg.rectangle(0, 0, 5, 5);
    svg.beginGroup("late");
    svg.textOut(0, 0, "late");
    svg.finish();
    const XmlDocument doc = parseXml(out.str());
    ASSERT_TRUE(doc.wellFormed()) << doc.error;
    EXPECT_EQ(doc.elements.size(), 1u);
}

}  // namespace
