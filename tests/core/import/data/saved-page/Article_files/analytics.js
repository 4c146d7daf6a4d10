fixture file Article_files/analytics.js
