// The GLSL sources, and how the scene compiles and links them into its plain and tinted programs.
#include "render/shader_programs.hpp"

#include "render/scene.hpp"

#include <cstdio>
#include <cstring>

// Input locations match the attribute numbers in vertex_data.hpp.
const char plain_vertex_source[] =
    "#version 430\n"
    "layout(location = 1) in vec4 in_vertex;\n"
    "layout(location = 2) in vec4 in_col;\n"
    "out vec4 out_color;\n"
    "void main()\n"
    "{   out_color = in_col;\n"
    "    gl_Position = in_vertex;\n"
    "}";

const char color_fragment_source[] =
    "#version 430\n"
    "in vec4 out_color;\n"
    "out vec4 pixout;\n"
    "void main()\n"
    "{\n"
    "    pixout = out_color;\n"
    "}\n";

const char tinted_vertex_source[] =
    "#version 430\n"
    "layout(location = 1) in vec4 in_vertex;\n"
    "layout(location = 2) in vec4 in_col;\n"
    "layout(location = 0) in ivec4 in_ind;\n"
    "out vec4 out_color;\n"
    "\n"
    "vec4 const_color(int idx)\n"
    "{   if(idx==0)  return vec4(1.0, 0.0, 0.0, 1.0);\n"
    "    if(idx==1)  return vec4(0.0, 1.0, 0.0, 1.0);\n"
    "                return vec4(0.0, 0.0, 1.0, 1.0);\n"
    "}\n"
    "\n"
    "void main()\n"
    "{   int index = clamp(in_ind.x, 0, 2);\n"
    "    out_color = in_col * const_color(index);\n"
    "    gl_Position = in_vertex;\n"
    "}\n";

namespace {

// Failures are reported as one fixed line and flushed at once, so that a pipe sees it while the
// program keeps running.
void report_failure(const char* line)
{
    std::printf("%s", line);
    std::fflush(stdout);
}

} // namespace

GLuint scene::compile_shader(GLenum type, const char* source)
{
    const GLint length = static_cast<GLint>(std::strlen(source));
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, &length);
    glCompileShader(shader);

    // Starts at 0 so that a query the driver refuses (shader 0) counts as a failed compile.
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != 0)
        return shader;
    // The caller only ever sees 0, so nothing else could delete the rejected shader.
    glDeleteShader(shader);
    report_failure("Shader compile failed !\n");
    return 0;
}

GLuint scene::create_program(const GLuint* shaders, unsigned count)
{
    const GLuint program = glCreateProgram();
    if (program == 0) {
        report_failure("Program creation failed !\n");
        // No program will take these shaders with it, so they go now.
        for (unsigned i = 0; i < count; ++i)
            glDeleteShader(shaders[i]);
        return 0;
    }
    // Flagged for deletion once attached: the shaders then go away with their program, and
    // nothing else has to remember them.
    for (unsigned i = 0; i < count; ++i) {
        glAttachShader(program, shaders[i]);
        glDeleteShader(shaders[i]);
    }
    return program;
}

GLuint scene::link_program(GLuint program)
{
    glLinkProgram(program);

    // Starts at 0 so that a query the driver refuses (program 0) counts as a failed link.
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != 0)
        return program;
    glDeleteProgram(program);
    report_failure("Program link failed !\n");
    return 0;
}

// No check between the stages: a 0 from one goes on to the next, every failure is reported where
// it is found, and both programs are always attempted.
void scene::create_programs()
{
    GLuint shaders[2];

    shaders[0] = compile_shader(GL_VERTEX_SHADER, plain_vertex_source);
    shaders[1] = compile_shader(GL_FRAGMENT_SHADER, color_fragment_source);
    plain_program = link_program(create_program(shaders, 2));

    // The fragment stage is compiled again: each program owns its own shader objects.
    shaders[0] = compile_shader(GL_VERTEX_SHADER, tinted_vertex_source);
    shaders[1] = compile_shader(GL_FRAGMENT_SHADER, color_fragment_source);
    tinted_program = link_program(create_program(shaders, 2));
}

void scene::delete_programs()
{
    glUseProgram(0);
    glDeleteProgram(tinted_program);
    glDeleteProgram(plain_program);
}
