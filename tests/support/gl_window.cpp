// Opens the test window the way the program does: GLFW, a 4.3 core profile, GLEW.
#include "tests/support/gl_window.hpp"

#include <cstdio>

gl_window::gl_window(int width, int height)
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

pixels pixels::read(int width, int height)
{
    pixels result;
    result.width_ = width;
    result.height_ = height;
    result.bytes_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, result.bytes_.data());
    return result;
}

rgba8 pixels::at(int x, int y) const
{
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
    return {bytes_[i], bytes_[i + 1], bytes_[i + 2], bytes_[i + 3]};
}
