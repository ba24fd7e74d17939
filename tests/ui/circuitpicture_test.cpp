#include "ui/circuitpicture.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "platform/headlesspresentation.h"
#include "support/xmlcheck.h"
#include "workspace/workspace.h"

namespace {

class CircuitPicture : public ::testing::Test {
protected:
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    void SetUp() override { ui.Zuzeniezobrazenia1 = false; }

    // Gates alternating between qubits 1 and 2, every third one a CNOT.
    void fillCircuit(int count)
    {
        const TMATICA2 letterBox{{0.6, 0}, {0, 0.8}, {0, 0.8}, {0.6, 0}};
        for (int g = 1; g <= count; ++g) {
            TGATE1 gate;
            gate.u = g % 3 == 0 ? ws->pauliX : letterBox;
            gate.target = static_cast<std::uint8_t>(1 + g % 2);
            if (g % 3 == 0) {
                gate.type = 1;
                gate.controls[1] = static_cast<std::uint8_t>(2 - g % 2);
            }
            ws->gates[static_cast<std::size_t>(g)] = gate;
        }
        ws->pocetb1 = count;
    }

    XmlDocument picture()
    {
        std::ostringstream out;
        EXPECT_TRUE(writeCircuitPicture(*ws, ui, out));
        text = out.str();
        return parseXml(text);
    }

    // The ids of the gate groups in document order.
    static std::vector<std::string> groupIds(const XmlDocument& doc)
    {
        std::vector<std::string> ids;
        for (int g : doc.named("g"))
            ids.push_back(doc.elements[static_cast<std::size_t>(g)].attributes.at("id"));
        return ids;
    }

    static std::vector<std::string> expectedIds(int count)
    {
        std::vector<std::string> ids;
        for (int g = 1; g <= count; ++g)
            ids.push_back("gate-" + std::to_string(g));
        return ids;
    }

    // How many wires (full-width lines) the picture has.
    static int wireCount(const XmlDocument& doc)
    {
        int wires = 0;
        for (int i : doc.named("line")) {
            const auto& a = doc.elements[static_cast<std::size_t>(i)].attributes;
            wires += a.at("x1") == "10" && a.at("x2") == "1000";
        }
        return wires;
    }

    std::string text;
};

TEST_F(CircuitPicture, HoldsEveryGateInAsManyBandsAsNeeded)
{
    fillCircuit(200);
    const XmlDocument doc = picture();
    ASSERT_TRUE(doc.wellFormed()) << doc.error;

    EXPECT_EQ(groupIds(doc), expectedIds(200));
    // 21 gates per band at zoom 1.25: ten bands of 200 pixels, margins of 10.
    EXPECT_EQ(doc.elements[0].attributes.at("width"), "1010");
    EXPECT_EQ(doc.elements[0].attributes.at("height"), "2020");
    EXPECT_EQ(wireCount(doc), 20);

    // Gate 22 opens band 2 exactly where the window would draw it: column 1, band top 210.
    const int gate22 = doc.named("g")[21];
    const auto parts = doc.children(gate22);
    ASSERT_EQ(parts.size(), 1u + 1u);  // box and letter
    const auto& box = doc.elements[static_cast<std::size_t>(parts[0])];
    EXPECT_EQ(box.name, "rect");
    EXPECT_EQ(box.attributes.at("x"), "40");
    EXPECT_EQ(box.attributes.at("y"), "245");
    // A CNOT's group holds its dot, line and NOT symbol.
    EXPECT_EQ(doc.children(doc.named("g")[2]).size(), 1u + 1u + 3u);
    // Band labels carry the first gate of each band.
    int bandLabels = 0;
    for (int t : doc.named("text"))
        bandLabels += doc.elements[static_cast<std::size_t>(t)].parent == 0;
    EXPECT_EQ(bandLabels, 10);
}

TEST_F(CircuitPicture, ContractionNeedsFewerBands)
{
    ui.Zuzeniezobrazenia1 = true;
    ws->qubitCount = 3;
    ws->matrixSize = 8;
    for (int g = 1; g <= 150; ++g) {
        TGATE1 gate;
        gate.u = ws->pauliZ;
        gate.target = static_cast<std::uint8_t>(1 + g % 3);
        ws->gates[static_cast<std::size_t>(g)] = gate;
    }
    ws->pocetb1 = 150;
    const XmlDocument doc = picture();
    ASSERT_TRUE(doc.wellFormed()) << doc.error;
    EXPECT_EQ(groupIds(doc), expectedIds(150));
    // Three gates share each column: 61 gates per band (the 21st column opens with
    // the 61st), so three bands of nearest(5 * 40 * 1.25) = 250 pixels.
    EXPECT_EQ(doc.elements[0].attributes.at("height"), std::to_string(10 + 3 * 250 + 10));
    EXPECT_EQ(wireCount(doc), 9);
}

TEST_F(CircuitPicture, AnEmptyCircuitGivesOneBandOfBareWires)
{
    ws->pocetb1 = 0;
    const XmlDocument doc = picture();
    ASSERT_TRUE(doc.wellFormed()) << doc.error;
    EXPECT_TRUE(doc.named("g").empty());
    EXPECT_TRUE(doc.named("text").empty());
    EXPECT_EQ(wireCount(doc), 2);
    EXPECT_EQ(doc.elements[0].attributes.at("height"), "220");
}

TEST_F(CircuitPicture, RefusesAZoomWithoutASingleColumn)
{
    fillCircuit(5);
    ws->zoom = 30.0;  // columns of 1080 pixels in an area 990 wide
    std::ostringstream out;
    EXPECT_FALSE(writeCircuitPicture(*ws, ui, out));
    EXPECT_TRUE(out.str().empty());

    // A zoom too large for the window still gives a picture: the area grows.
    ws->zoom = 5.0;
    const XmlDocument doc = picture();
    ASSERT_TRUE(doc.wellFormed()) << doc.error;
    EXPECT_EQ(groupIds(doc), expectedIds(5));
}

}  // namespace
