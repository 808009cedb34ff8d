// Opens the test window the way the program does: GLFW, a 4.3 core profile, GLEW.
#include "tests/support/gl_window.hpp"

#include <cstdio>

gl_window::gl_window(int width, int height, bool visible)
{
    // The program itself installs no error callback; a test that cannot get its window says why.
    glfwSetErrorCallback([](int code, const char* description) {
        std::fprintf(stderr, "GLFW error 0x%x: %s\n", code, description);
    });
    if (!glfwInit())
        return;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
    window_ = glfwCreateWindow(width, height, "quorvel test", nullptr, nullptr);
    if (window_ == nullptr)
        return;
    glfwMakeContextCurrent(window_);
    glewExperimental = GL_TRUE;
    glewInit();
    glfwGetFramebufferSize(window_, &width_, &height_);
    glViewport(0, 0, width_, height_);
}

gl_window::~gl_window()
{
    glfwTerminate();
}
