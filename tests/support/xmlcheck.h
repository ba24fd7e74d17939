#pragma once
// A strict little XML reader for tests: checks that a document is well-formed
// (one root, balanced and matching tags, quoted unique attributes, valid entity
// references, no stray markup characters) and lists its elements.

#include <map>
#include <string>
#include <string_view>
#include <vector>

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;  // values with entities resolved
    std::string text;                               // character data directly inside, resolved
    int parent = -1;                                // index into XmlDocument::elements
};

struct XmlDocument {
    std::string error;  // empty when well-formed
    std::vector<XmlElement> elements;  // in document order

    bool wellFormed() const { return error.empty(); }
    // Indices of the elements named `name`.
    std::vector<int> named(std::string_view name) const;
    // Indices of the direct children of element `index`.
    std::vector<int> children(int index) const;
};

XmlDocument parseXml(std::string_view document);
