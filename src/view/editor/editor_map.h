// SPDX-License-Identifier: GPL-3.0-or-later
// The map of the scenario being edited: the game's own picture, each country in its
// ruler's colour with its number and name, the country chosen outlined. Only the part
// that holds the countries is shown (the game's status panel covers the rest), as large
// as the window lets it be. A click chooses the country under it; with the keys, the
// arrows step through the countries and Enter hands the keys to the chosen country's
// fields.
#pragma once

#include <QWidget>

#include "model/country_file.h"
#include "model/game_state.h"
#include "view/map/map_picture.h"
#include "view/map/target_choice.h"

namespace editor {

class EditorMap : public QWidget {
    Q_OBJECT

public:
    explicit EditorMap(QWidget* parent = nullptr);

    // The world to show; repainted at once.
    void ShowWorld(const WorldRecord& world);
    // Chooses country (0..13) and outlines it; anything else chooses none.
    void Choose(int country);
    int Chosen() const { return m_choice.Country(); }

    // The country under a point of this widget; MapPicture::kNoCountry for none.
    int CountryAt(QPoint widgetPoint) const;
    // The part of the map shown, in the map's own pixels.
    static QRect Shown();
    // The map's magnification as the widget's size gives it.
    double Scale() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    // The player chose a country, by the pointer or the keys.
    void countryChosen(int country);
    // Enter on the map: the chosen country's fields take the keys.
    void fieldsWanted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Step(int direction);

    MapPicture m_picture;
    GameState m_world;
    TargetChoice m_choice;
};

} // namespace editor
