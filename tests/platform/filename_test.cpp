#include "platform/filename.h"

#include <gtest/gtest.h>

TEST(FileName, ExtensionIsComparedWithoutCaseAtTheEndOnly)
{
    struct Case {
        const char* name;
        const char* extension;
        bool expected;
    };
    const Case cases[] = {
        {"circuit.png", ".png", true},   {"CIRCUIT.PNG", ".png", true}, {"a.Npy", ".npy", true},
        {".npy", ".npy", true},          {"npy", ".npy", false},        {"circuit.png.svg", ".png", false},
        {"circuit.pn", ".png", false},   {"circuitpng", ".png", false}, {"", ".png", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hasExtension(c.name, c.extension), c.expected) << c.name << " " << c.extension;
}
