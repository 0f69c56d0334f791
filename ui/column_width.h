// The width of a list view column given as a share of the list's width. Portable, so the
// arithmetic is tested natively; the list view helpers feed it the control's measurements.
#pragma once

// Width in pixels of a column taking percent of a list whose client area is clientWidth wide,
// leaving room for a vertical scroll bar of scrollBarWidth and 2 pixels more: columns that add
// up to 100 percent then fill the list without a horizontal scroll bar while the vertical one is
// shown. Fractions are dropped. A list too narrow for its scroll bar, or a negative percent,
// gives 0: a column cannot be narrower than nothing.
int ListColumnWidth(int clientWidth, int scrollBarWidth, int percent);
