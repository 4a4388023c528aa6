# Keeps A4 as the only paper size of a PPD: no other named size, no custom size.
/^\*(PageSize|PageRegion|ImageableArea|PaperDimension) / && $2 !~ /^A4[\/:]/ { next }
/^\*VariablePaperSize:/ { print "*VariablePaperSize: False"; next }
/^\*NonUIOrderDependency: .*CustomPageSize/ { next }
/^\*CustomPageSize / { skip = 1 }
skip && /^\*End/ { skip = 0; next }
skip { next }
/^\*ParamCustomPageSize / { next }
{ print }
