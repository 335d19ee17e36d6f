#pragma once

#include <QUrl>

// Opening the makers' web page.
namespace Module2 {

// The page the About page links to, with the query the page expects from this program.
QUrl homePage();

// Asks the desktop to open the home page in the user's browser; whether it could is not
// examined.
void OpenHomePage();

} // namespace Module2
