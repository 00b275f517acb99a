/*
 * TImagePanel: a windowless bitmap strip for title bars and window edges.
 * The picture is drawn inside a 1-pixel margin, once at a position, stretched,
 * or tiled (the last column and row of tiles cut at the margin).
 *
 * Tricky point: until its bitmap has ever been given a picture (assigned,
 * loaded from a resource, or drawn on), the panel paints nothing at all, so
 * whatever lies below it shows through.
 */
#pragma once

#include "framework/Controls.h"

enum TImageDrawStyle { ipSingle, ipStretch, ipTile };

class TImagePanel : public TGraphicControl {
public:
    explicit TImagePanel(TComponent* AOwner);
    ~TImagePanel() override;

    TBitmap* GetBitmap() const { return bitmap_; }
    // Copies the picture.
    void SetBitmap(TBitmap* value);
    TImageDrawStyle GetDrawingStyle() const { return style_; }
    void SetImageStyle(TImageDrawStyle value);
    int GetXPosition() const { return x_; }
    void SetXPos(int value);
    int GetYPosition() const { return y_; }
    void SetYPos(int value);

protected:
    void Paint() override;

private:
    void bitmapChanged(TObject*);

    TBitmap* bitmap_;
    TImageDrawStyle style_ = ipSingle;
    int x_ = 0, y_ = 0;

public:
    BRIM_PROPERTY(Bitmap, TImagePanel::GetBitmap, TImagePanel::SetBitmap);
    BRIM_PROPERTY(DrawingStyle, TImagePanel::GetDrawingStyle, TImagePanel::SetImageStyle);
    BRIM_PROPERTY(XPosition, TImagePanel::GetXPosition, TImagePanel::SetXPos);
    BRIM_PROPERTY(YPosition, TImagePanel::GetYPosition, TImagePanel::SetYPos);
};
