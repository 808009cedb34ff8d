// The GLSL sources as the driver receives them, and their input locations against the attribute
// numbers the vertex layout uses.
#include "render/shader_programs.hpp"
#include "render/vertex_data.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace {

struct source_case {
    const char* name;
    const char* source;
    std::size_t length;
    std::vector<std::string> lines;
    bool ends_with_newline;
    friend std::ostream& operator<<(std::ostream& out, const source_case& c) { return out << c.name; }
};

std::string join(const std::vector<std::string>& lines, bool ends_with_newline)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += lines[i] + (i + 1 < lines.size() || ends_with_newline ? "\n" : "");
    return text;
}

class glsl_source : public testing::TestWithParam<source_case> {};

TEST_P(glsl_source, is_the_documented_text_byte_for_byte)
{
    const source_case& c = GetParam();
    EXPECT_EQ(std::strlen(c.source), c.length);
    EXPECT_EQ(std::string(c.source), join(c.lines, c.ends_with_newline));
}

// Each `layout(location = N) in T name;` must name the attribute number the vertex layout feeds.
TEST_P(glsl_source, reads_its_inputs_from_the_layouts_attribute_numbers)
{
    const std::map<std::string, GLuint> attribute_of = {
        {"in_ind", palette_index_attrib}, {"in_vertex", position_attrib}, {"in_col", color_attrib}};
    const std::regex input(R"(layout\(location = (\d+)\) in \w+ (\w+);)");
    const std::string text = GetParam().source;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), input); it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[2];
        ASSERT_EQ(attribute_of.count(name), 1u) << "unknown input " << name;
        EXPECT_EQ(std::stoul((*it)[1]), attribute_of.at(name)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    sources, glsl_source,
    testing::Values(source_case{"plain_vertex",
                                plain_vertex_source,
                                176,
                                {"#version 430", "layout(location = 1) in vec4 in_vertex;",
                                 "layout(location = 2) in vec4 in_col;", "out vec4 out_color;", "void main()",
                                 "{   out_color = in_col;", "    gl_Position = in_vertex;", "}"},
                                false},
                    source_case{"color_fragment",
                                color_fragment_source,
                                89,
                                {"#version 430", "in vec4 out_color;", "out vec4 pixout;", "void main()", "{",
                                 "    pixout = out_color;", "}"},
                                true},
                    source_case{"tinted_vertex",
                                tinted_vertex_source,
                                452,
                                {"#version 430",
                                 "layout(location = 1) in vec4 in_vertex;",
                                 "layout(location = 2) in vec4 in_col;",
                                 "layout(location = 0) in ivec4 in_ind;",
                                 "out vec4 out_color;",
                                 "",
                                 "vec4 const_color(int idx)",
                                 "{   if(idx==0)  return vec4(1.0, 0.0, 0.0, 1.0);",
                                 "    if(idx==1)  return vec4(0.0, 1.0, 0.0, 1.0);",
                                 "                return vec4(0.0, 0.0, 1.0, 1.0);",
                                 "}",
                                 "",
                                 "void main()",
                                 "{   int index = clamp(in_ind.x, 0, 2);",
                                 "    out_color = in_col * const_color(index);",
                                 "    gl_Position = in_vertex;",
                                 "}"},
                                true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
