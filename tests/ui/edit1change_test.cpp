#include "ui/edit1change.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

const char* const notANumber = "The number of Qubits has to be a number > 1";
const char* const tooMany = "The number of Qubits has to be smaller than 5.";

class QubitField : public ::testing::Test {
protected:
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    void SetUp() override
    {
        ws->pocetb1 = 12;
        ui.clearRecords();
    }

    void type(std::string text)
    {
        ui.qubitField = std::move(text);
        Edit1Change(*ws, ui);
    }
};

}  // namespace

TEST_F(QubitField, WholeNumbersAsAPersonTypesThemAreAccepted)
{
    for (const char* text : {"3", "3 ", " 3", "03", "+3", "\t3\t"}) {
        SCOPED_TRACE(text);
        ws->qubitCount = 2;
        ws->matrixSize = 4;
        ws->pocetb1 = 12;
        ui.clearRecords();
        type(text);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(ws->qubitCount, 3);
        EXPECT_EQ(ws->matrixSize, 8);
        EXPECT_EQ(ws->pocetb1, 0);
        EXPECT_EQ(ui.gridColumns, 9);
        EXPECT_EQ(ui.gridRows, 9);
        EXPECT_TRUE(ui.gridVisible);
        EXPECT_EQ(ui.gridCell(0, 8), "111") << "the grid shows the new size's labels";
        EXPECT_TRUE(ui.logContains("The unitary matrix was randomly generated."));
    }
}

TEST_F(QubitField, TheLimitsTwoAndFiveAreAccepted)
{
    type("5");
    EXPECT_EQ(ws->matrixSize, 32);
    type("2");
    EXPECT_EQ(ws->matrixSize, 4);
    EXPECT_EQ(ws->qubitCount, 2);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(QubitField, RefusedTextsShowTheirMessageAndChangeNothing)
{
    const TMATICA1 matrixBefore = ws->matrixA;
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", notANumber},          {"   ", notANumber},       {"3.0", notANumber},
        {"3x", notANumber},        {"x3", notANumber},        {"3 3", notANumber},
        {"+", notANumber},         {"0x3", notANumber},       {"0", notANumber},
        {"1", notANumber},         {"-1", notANumber},        {"-99999999999999999999999", notANumber},
        {"6", tooMany},            {"9999999999", tooMany},   {"99999999999999999999999", tooMany},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ui.clearRecords();
        type(c.text);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, c.message);
        EXPECT_EQ(ui.messages[0].style, MessageStyle::information);
        EXPECT_TRUE(ui.log.empty());
        EXPECT_EQ(ws->qubitCount, 2);
        EXPECT_EQ(ws->matrixSize, 4);
        EXPECT_EQ(ws->pocetb1, 12);
        EXPECT_EQ(ui.gridColumns, 0);
        EXPECT_EQ(std::memcmp(&ws->matrixA, &matrixBefore, sizeof matrixBefore), 0);
    }
}
