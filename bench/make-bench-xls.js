// Writes the 20,000-student legacy workbook (.xls) of the whole-command
// benchmarks from the text list make_bench_sheets wrote, numbers as numbers:
//   npm install xlsx@0.18.5 && node make-bench-xls.js list-20000-utf8.csv list-20000.xls
const fs = require('fs');
const XLSX = require('xlsx');

const [source, target] = process.argv.slice(2);
const rows = fs.readFileSync(source, 'utf8').split('\r\n').filter((line) => line.length > 0)
  .map((line, index) => line.split(',').map((cell, column) => (index > 0 && column >= 3 ? Number(cell) : cell)));
const book = XLSX.utils.book_new();
XLSX.utils.book_append_sheet(book, XLSX.utils.aoa_to_sheet(rows), '名单');
XLSX.writeFile(book, target, { bookType: 'biff8' });
