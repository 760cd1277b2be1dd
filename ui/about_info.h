#pragma once

#include <QString>

namespace verdaline::about {

// The version the caption and the about window show, and its release date.
inline const QString kVersion = QStringLiteral("5.2");
inline const QString kReleaseDate = QStringLiteral("03.2015");

// Who made the program and where to reach them. An empty address opens nothing:
// the feedback items and the about window's fields then do nothing.
inline const QString kAuthor = QStringLiteral("Команда Verdaline");
inline const QString kAuthorTitle = QStringLiteral("разработчики программы");
inline const QString kEmail;
inline const QString kWebSite;

}  // namespace verdaline::about
