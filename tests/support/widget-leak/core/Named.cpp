class QWidget;

void show(QWidget* window);
