// What the drawing code (drawing.cpp) needs to know about the things it draws
// on: images (images.cpp) and canvas gadgets (widget_canvas.cpp). Each owns a
// TkDrawOutput whose address is the "output" handle the application passes to
// tk_drawing_start; the owner registers it while it lives.
#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <cstdint>

struct TkDrawOutput {
    QImage* image = nullptr;          // the pixels drawn on; owned by the output's owner
    QWidget* widget = nullptr;        // repainted when drawing stops (canvas); main thread
    std::atomic<uint64_t> version{0}; // raised whenever a drawing on it stops
};

// Makes an output known to tk_drawing_start (any thread).
void tk_draw_output_register(TkDrawOutput* out);
// Forgets an output before its owner frees it; a drawing on it by the
// calling thread is ended first.
void tk_draw_output_unregister(TkDrawOutput* out);
