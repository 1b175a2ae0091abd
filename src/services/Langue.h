#pragma once

class QString;

// The program speaks French (Canada) everywhere: dates, month and day names of the
// calendars, and Qt's own texts (standard buttons and dialogs).
namespace services {

// Sets the default locale and installs Qt's French translations. Call once, after the
// application object is made and before any widget. False when the translations could
// not be loaded (Qt's own buttons then stay in English).
bool installerFrancais();

// True when Qt's standard texts come out in French (Cancel reads "Annuler").
bool frenchTranslationsLoad();

// The windows ask for "Comic Sans MS", which Linux rarely has; left to itself fontconfig may
// pick a calligraphic script in its place. Maps it to its look-alike "Comic Neue", then to a
// plain sans face. Call once, after the application object is made and before any widget.
void installerPolices();

// The face actually drawn when a window asks for "Comic Sans MS".
QString policeDesFenetres();

} // namespace services
