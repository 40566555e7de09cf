#!/usr/bin/env bash
# Makes the test files of the spreadsheet reader kept in this folder: the
# .xls and .csv files from a real workbook writer (make-test-data.js), and
# the odd files by hand. Run it here after changing either.
set -euo pipefail
cd "$(dirname "$0")"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
(cd "$WORK" && npm init -y >/dev/null && npm install --silent xlsx@0.18.5 >/dev/null)
NODE_PATH="$WORK/node_modules" node make-test-data.js

# The same list in GBK, as older office software saves it.
iconv -f UTF-8 -t GBK students-utf8.csv > students-gbk.csv

# A web page saved under an .xls name, as web systems export tables; in
# GB2312 with a title row, a spanned cell and entities.
iconv -f UTF-8 -t GBK > page-table.xls <<'HTML'
<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312"><title>名单</title>
<style>td { border: 1px solid; }</style></head>
<body><table>
<tr><td colspan="3">2024级新生名单</td></tr>
<tr><th>姓名</th><th>性别</th><th>*语文</th></tr>
<tr><td>&nbsp;张三&nbsp;</td><td>男</td><td>85</td></tr>
<tr><td>李&amp;四</td><td colspan="2">女</td></tr>
</table></body></html>
HTML

# A web page without a table, and a workbook in the XML format of 2003.
printf '<html><body><p>没有数据</p></body></html>\n' > page-no-table.xls
cat > xml2003.xls <<'XML'
<?xml version="1.0"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">
 <Worksheet ss:Name="Sheet1"><Table><Row><Cell><Data ss:Type="String">姓名</Data></Cell></Row></Table></Worksheet>
</Workbook>
XML
