#include "gui/kit/opengl_ready.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QWidget>

// Qt's setter of the context QOpenGLContext::globalShareContext() returns, the one Qt GUI itself
// uses when it makes that context at start-up. Exported by Qt GUI; its declaration lives in a
// private header.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace tally {

namespace {

const QString readyMarker = QStringLiteral("glReady");

// The shared context, made on the first call; false when OpenGL is not available.
bool ensureSharedContext() {
    if (QOpenGLContext::globalShareContext())
        return true;
    static bool failed = false;
    if (failed)
        return false;
    auto* context = new QOpenGLContext;
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (!context->create()) {
        delete context;
        failed = true;
        return false;
    }
    qt_gl_set_global_share_context(context);
    // Deleted as the application object goes, after the windows that share it.
    qAddPostRoutine([] {
        QOpenGLContext* shared = QOpenGLContext::globalShareContext();
        qt_gl_set_global_share_context(nullptr);
        delete shared;
    });
    return true;
}

} // namespace

bool prepareWindowForOpenGL(QWidget* widget) {
    const QString platform = QGuiApplication::platformName();
    if (!widget || platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    if (!ensureSharedContext())
        return false;
    QWidget* window = widget->window();
    if (window->findChild<QOpenGLWidget*>(readyMarker, Qt::FindDirectChildrenOnly))
        return true;
    auto* glReady = new QOpenGLWidget(window);
    glReady->setObjectName(readyMarker);
    glReady->hide();
    return true;
}

} // namespace tally
