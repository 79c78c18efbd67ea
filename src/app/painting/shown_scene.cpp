#include "app/painting/shown_scene.h"

#include "app/painting/picture_cache.h"
#include "app/painting/units.h"
#include "battlefield/form1.h"

namespace app {

void ShownScene::clear()
{
    taken_ = false;
    captions_.clear();
    boxes_.clear();
}

void ShownScene::take(const game::Form1& form, PictureCache& pictures, const QRect& client)
{
    taken_ = true;
    back_ = form.BackColor;
    background_ = pictures.find(form.Picture);

    const std::vector<const ui::Label*> labels = form.labels();
    captions_.resize(labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const ui::Label& l = *labels[i];
        Caption& c = captions_[i];
        c.rect = pixelRect(l.Left, l.Top, l.Width, l.Height);
        c.text = l.Caption;  // reuses the string's room from the last time
        c.font = l.font;
        c.align = l.Alignment;
        c.enabled = l.Enabled;
        c.opaque = l.Opaque;
        c.back = l.BackColor;
        c.fore = l.ForeColor;
    }

    // The same cull as BattlefieldWidget::paintScene, on the whole client area.
    const CullArea area = cullArea(client);
    boxes_.clear();
    std::uint32_t order = 0;
    form.forEachSpriteBottomUp([&](const char*, int, const auto& box) {
        const std::uint32_t at = order++;
        if (!box.Visible || !area.meets(box.Left, box.Top, box.Width, box.Height)) return;
        const QRect r = pixelRect(box.Left, box.Top, box.Width, box.Height);
        if (r.isEmpty()) return;  // paints nothing
        boxes_.push_back(Box{at, r, pictures.find(box.Picture), box.BackColor, box.BorderStyle});
    });
}

bool ShownScene::wholeWindowChanged(const ShownScene& before, const ShownScene& after)
{
    return before.back_ != after.back_ || before.background_ != after.background_;
}

}  // namespace app
