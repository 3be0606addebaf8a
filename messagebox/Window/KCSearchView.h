#pragma once

// The search area's bar: as the tool bar, with the image "searchview_bg".

#include "KCToolbarView.h"

namespace pigeonhole {

class KCSearchView : public KCToolbarView
{
    Q_OBJECT

public:
    explicit KCSearchView(QWidget *parent = nullptr)
        : KCToolbarView(parent, QStringLiteral("searchview_bg"))
    {
    }
};

} // namespace pigeonhole
