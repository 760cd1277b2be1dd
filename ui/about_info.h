#pragma once

#include <QString>

namespace verdaline::about {

// Who made the program and where to reach them. An empty address opens nothing:
// the feedback items and the about window's fields then do nothing.
inline const QString kAuthor = QStringLiteral("Команда Verdaline");
inline const QString kAuthorTitle = QStringLiteral("разработчики программы");
inline const QString kEmail;
inline const QString kWebSite;

}  // namespace verdaline::about
