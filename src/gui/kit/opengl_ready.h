// OpenGL made ready at the moment it is first needed, not at start-up. Call prepareWindowForOpenGL
// just before creating the first OpenGL content of a window: the web page view, the 3D chart.
#pragma once

class QWidget;

namespace tally {

// Makes two things ready, each once:
//  - The application-wide shared OpenGL context, through which the web engine hands its pages to
//    the windows. Qt makes it while the application starts when Qt::AA_ShareOpenGLContexts is set
//    then, which loads the OpenGL driver (about 60 MiB and 40 ms) whether OpenGL is ever used or
//    not. Made here instead, the first time it is needed: the OpenGL widgets, Qt Quick and the web
//    engine share with it whenever it exists, with or without the attribute.
//  - The window of widget, made ready for OpenGL-composited children. A window already on screen
//    that gets its first such child has its native window torn down and made again, and the
//    native child windows inside it (the 3D chart's) are destroyed with it. An idle OpenGL widget,
//    never shown, makes the window OpenGL-ready once, before any such child exists, so that no
//    later content changes anything around it.
// Without OpenGL (no context can be made), or off screen, there is nothing to prepare: false.
bool prepareWindowForOpenGL(QWidget* widget);

} // namespace tally
