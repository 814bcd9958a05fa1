// Makes the binary field definition files that lie beside the program from
// their readable sources: hv_tid <source> <output>. The build runs it for
// every file, so no binary file is kept in the tree.
#include "exchange/FieldDefinitions.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: hv_tid <source> <output>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in.is_open()) {
        std::cerr << "hv_tid: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<hv::exchange::FieldDefinition> fields;
    std::string error;
    if (!hv::exchange::parseFieldDefinitionSource(text.str(), fields, error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    if (!hv::exchange::writeFieldDefinitionFile(argv[2], fields, error)) {
        std::cerr << "hv_tid: " << error << "\n";
        return 1;
    }
    return 0;
}
