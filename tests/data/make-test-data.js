// Writes the legacy workbooks (.xls) and text tables (.csv) the reader
// tests use, with an independent workbook writer from the npm registry:
//   npm install xlsx@0.18.5 && node make-test-data.js
// The .xlsx cases are made by the tests themselves.
const XLSX = require('xlsx');

const IDEOGRAPHIC_SPACE = '\u3000';

// A class list with a title row above the header, as schools keep them.
function studentList() {
  return [
    ['2024级高一新生名单'],
    ['姓名', '性 别', '原学校', '*语文', '* 数学', '*', '出生日期'],
    [IDEOGRAPHIC_SPACE + '张三' + IDEOGRAPHIC_SPACE, '男', '第一中学', 85, 92.5, 1, new Date(Date.UTC(2009, 8, 1))],
    ['李四', ' 女 ', '第二中学', '085', 77, 2, new Date(Date.UTC(2010, 0, 31))],
    ['王五', '', '', '', 60.25, 3, ''],
  ];
}

function sheetOf(rows, origin) {
  const sheet = XLSX.utils.aoa_to_sheet(rows, { cellDates: true, dateNF: 'yyyy-mm-dd', origin });
  return sheet;
}

function write(name, sheets, options = {}) {
  const book = XLSX.utils.book_new();
  for (const [sheetName, sheet] of sheets)
    XLSX.utils.book_append_sheet(book, sheet, sheetName);
  if (options.date1904)
    book.Workbook = { WBProps: { date1904: true } };
  XLSX.writeFile(book, name, { bookType: options.bookType || 'biff8', cellDates: true });
}

// Small: the workbook stream lands in the compound file's mini stream.
const list = sheetOf(studentList(), 'B2');
list['!merges'] = [{ s: { r: 1, c: 1 }, e: { r: 1, c: 7 } }];
write('students-mini.xls', [['名单', list]]);

// The same list in the 1904 date system: its date serial numbers count
// from 1904, 1462 days fewer.
const list1904 = sheetOf(studentList());
for (const address of Object.keys(list1904)) {
  const cell = list1904[address];
  if (cell.t === 'd')
    list1904[address] = { t: 'n', v: (cell.v - Date.UTC(1899, 11, 30)) / 86400000 - 1462, z: 'yyyy-mm-dd' };
}
write('students-1904.xls', [['名单', list1904]], { date1904: true });

// Large enough for regular sectors: 600 students.
const many = [['姓名', '性别', '原学校', '*语文', '*数学']];
for (let i = 1; i <= 600; ++i)
  many.push(['学生' + i, i % 2 ? '男' : '女', '第' + (i % 7 + 1) + '中学', 60 + (i % 41), 50 + (i % 51) + 0.5]);
write('students-600.xls', [['Sheet1', sheetOf(many)]]);

// A notes sheet before the list.
write('notes-first.xls', [
  ['说明', sheetOf([['本表由教务处导出'], ['请勿修改列名']])],
  ['学生', sheetOf([['姓名', '*英语'], ['赵六', 88]])],
]);

// Text tables: UTF-8 with and without byte-order mark; make-test-data.sh
// converts the plain one to GBK.
const csvRows = studentList().slice(1, 5).map((row) => row.slice(0, 6));
const csv = XLSX.utils.sheet_to_csv(XLSX.utils.aoa_to_sheet(csvRows), { RS: '\r\n' }) + '\r\n';
require('fs').writeFileSync('students-utf8-bom.csv', '\ufeff' + csv);
require('fs').writeFileSync('students-utf8.csv', csv);
