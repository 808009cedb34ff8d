// Fault injection on a real context: GLEW reaches every GL function newer than 1.1 through a global
// pointer (__glewMapBuffer for glMapBuffer, ...). A swap puts a stand-in there and the original
// back when it goes out of scope.
#pragma once

template <typename Pointer>
class glew_swap {
public:
    glew_swap(Pointer& slot, Pointer stand_in) : slot_(slot), original_(slot) { slot_ = stand_in; }
    ~glew_swap() { slot_ = original_; }
    glew_swap(const glew_swap&) = delete;
    glew_swap& operator=(const glew_swap&) = delete;

private:
    Pointer& slot_;
    Pointer original_;
};
