// A real window with a current OpenGL 4.3 core-profile context and loaded entry points, for tests
// that drive the scene in-process.
#pragma once

#define GLFW_INCLUDE_NONE
#include <GL/glew.h>
#include <GLFW/glfw3.h>

class gl_window {
public:
    gl_window(int width, int height, bool visible = true);
    ~gl_window();
    gl_window(const gl_window&) = delete;
    gl_window& operator=(const gl_window&) = delete;

    bool ready() const { return window_ != nullptr; }
    GLFWwindow* handle() const { return window_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    GLFWwindow* window_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
