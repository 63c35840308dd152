// The application's widget style: the platform's own, with the images Qt
// would read from files at start-up drawn in code instead.
#pragma once

class QStyle;

namespace fw {

// A style over the one the application would use by default (honouring
// -style and QT_STYLE_OVERRIDE). The application owns it once set.
QStyle* NewFrameworkStyle();

}  // namespace fw
